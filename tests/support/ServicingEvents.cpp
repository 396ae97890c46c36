#include "tests/support/ServicingEvents.h"

#include "tests/support/Situations.h"

namespace certvane::test {

std::wstring ServicingEventXml(std::uint32_t id, std::wstring_view systemTime,
                               const std::vector<std::pair<std::wstring, std::wstring>>& data) {
    std::wstring xml =
        L"<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
        L"<Provider Name='Microsoft-Windows-TPM-WMI' "
        L"Guid='{7d5387b0-cbe0-11da-a94d-0800200c9a66}'/><EventID Qualifiers='0'>" +
        std::to_wstring(id) +
        L"</EventID><Version>0</Version><Level>2</Level><Task>0</Task><Opcode>0</Opcode>"
        L"<Keywords>0x8000000000000000</Keywords><TimeCreated SystemTime='" +
        std::wstring(systemTime) +
        L"'/><EventRecordID>4711</EventRecordID><Channel>System</Channel>"
        L"<Computer>PC-0042</Computer></System><EventData>";
    for (const auto& [name, value] : data) {
        xml += L"<Data Name='" + name + L"'>" + value + L"</Data>";
    }
    return xml + L"</EventData></Event>";
}

ScriptedMachine WinPeWithOfflineServicingAt(std::uint32_t availableUpdates) {
    ScriptedMachine machine = WinPeWithOfflineOnC();
    RegistryTree hive;
    SetValue(hive, L"Select", L"Current", DwordValue(1));
    SetValue(hive, L"ControlSet001\\Control\\SecureBoot", L"AvailableUpdates",
             DwordValue(availableUpdates));
    machine.PutFile(L"C:\\Windows\\System32\\config\\SYSTEM", HiveFile(hive));
    return machine;
}

}  // namespace certvane::test
