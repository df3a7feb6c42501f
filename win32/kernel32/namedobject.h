// The name space of events, mutexes and semaphores: one per process, as the
// objects of one session share one on Windows. "Global\" and "Local\" both
// lead to it; names compare with regard to case.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>

#include "kernel32/waitable.h"

namespace w32 {

class NamedObject : public WaitableObject {
public:
    // The name goes with the last handle.
    void OnLastHandleClosed() override;

private:
    friend HANDLE CreateNamedObject(LPCWSTR, const std::type_info&,
                                    const std::function<std::shared_ptr<NamedObject>()>&);
    std::u16string name_;
};

// Makes a new object of the type `make` returns, or, when `name` is taken by
// one of the same type, a new handle to that one. Sets the last error as the
// Create functions do: ERROR_SUCCESS, ERROR_ALREADY_EXISTS, or on failure
// ERROR_INVALID_HANDLE (a name of another type) or ERROR_PATH_NOT_FOUND,
// ERROR_INVALID_NAME, ERROR_FILENAME_EXCED_RANGE (a bad name).
HANDLE CreateNamedObject(LPCWSTR name, const std::type_info& type,
                         const std::function<std::shared_ptr<NamedObject>()>& make);
// A new handle to the object of that name and type, or null with
// ERROR_INVALID_PARAMETER (no name), ERROR_FILE_NOT_FOUND (none),
// ERROR_INVALID_HANDLE (another type) or a bad-name error.
HANDLE OpenNamedObject(LPCWSTR name, const std::type_info& type);

}  // namespace w32
