#pragma once

#include <map>
#include <string>

namespace Weft {

class CControlUI;

// The process-wide registry from class names ("CButtonUI") to creation functions. Names are
// matched without regard to ASCII case; the first registration of a name is kept.
class CControlFactory {
  public:
    using Creator = CControlUI* (*)();

    static CControlFactory& Instance();
    // A new control of that class, or null for a name nobody registered.
    CControlUI* CreateControl(const wchar_t* className) const;
    void RegisterControl(const wchar_t* className, Creator creator);

  private:
    CControlFactory();

    std::map<std::wstring, Creator> creators_;
};

}  // namespace Weft
