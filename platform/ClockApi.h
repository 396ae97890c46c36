#pragma once

namespace certvane {

struct CalendarDate {
    int year = 0;
    unsigned month = 0;  // 1 to 12
    unsigned day = 0;    // 1 to 31
};

// The system clock. Certificate expiry and the age of reference data are measured against
// it, so tests pin it.
class ClockApi {
  public:
    virtual CalendarDate CurrentUtcDate() = 0;

  protected:
    ~ClockApi() = default;
};

}  // namespace certvane
