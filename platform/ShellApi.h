#pragma once

#include <string_view>

namespace certvane {

// The shell's "execute a file with a verb" service.
class ShellApi {
public:
    // Hands the file to the shell with the verb and parameters, window hidden, without
    // waiting; true when the shell accepted the request.
    virtual bool ShellExecuteHidden(std::wstring_view verb, std::wstring_view file,
                                    std::wstring_view parameters) = 0;

protected:
    ~ShellApi() = default;
};

}  // namespace certvane
