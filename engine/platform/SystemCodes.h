#pragma once
// System error codes in the numbering the engine's status table and messages use, and the
// translation of POSIX errno values into them. Only this layer sees errno.

namespace platform {

enum SystemCode : int {
    kOk = 0,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kTooManyOpenFiles = 4,
    kAccessDenied = 5,
    kInvalidHandle = 6,
    kNotEnoughMemory = 8,
    kInvalidAccess = 12,
    kSharingViolation = 32,
    kLockViolation = 33,
    kHandleEof = 38,
    kDiskFull = 112,
    kInvalidParameter = 87,
    kDiskWriteProtected = 150,
    kHardwareFailure = 162,
    kAlreadyExists = 183,
    kFileNameTooLong = 206,
    kShortRead = 221,
    kFileTooLarge = 223,
};

// Translates an errno value; `forPath` says whether a missing entry is a missing file (2)
// or a missing directory on the way (3), which the caller has checked.
int TranslateErrno(int err, bool parentMissing = false);

}  // namespace platform
