#pragma once

#include "platform/CertificateApi.h"
#include "platform/ClockApi.h"
#include "platform/EventLogApi.h"
#include "platform/FileSystemApi.h"
#include "platform/FirmwareApi.h"
#include "platform/LockApi.h"
#include "platform/PrivilegeApi.h"
#include "platform/ProcessApi.h"
#include "platform/RegistryApi.h"
#include "platform/RelaunchApi.h"
#include "platform/ScheduledTaskApi.h"
#include "platform/SignatureApi.h"
#include "platform/VersionApi.h"
#include "platform/VolumeApi.h"
#include "platform/WmiApi.h"

namespace certvane {

// Every operating-system operation that the inspection engine and the update actions use,
// each at the level of one system call or one fixed tiny sequence. The algorithms that call
// them live in portable code and take a Platform explicitly; the real one is Win32Platform,
// tests use a scripted machine. Operation names avoid the names of the Win32 functions, which
// <windows.h> turns into macros.
class Platform : public FirmwareApi,
                 public CertificateApi,
                 public RegistryApi,
                 public PrivilegeApi,
                 public FileSystemApi,
                 public VolumeApi,
                 public ProcessApi,
                 public WmiApi,
                 public SignatureApi,
                 public VersionApi,
                 public EventLogApi,
                 public ScheduledTaskApi,
                 public RelaunchApi,
                 public ClockApi,
                 public LockApi {
  public:
    virtual ~Platform() = default;
};

}  // namespace certvane
