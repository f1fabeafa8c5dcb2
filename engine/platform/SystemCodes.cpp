#include "engine/platform/SystemCodes.h"

#include <cerrno>

namespace platform {

int TranslateErrno(int err, bool parentMissing) {
    switch (err) {
        case 0: return kOk;
        case ENOENT: return parentMissing ? kPathNotFound : kFileNotFound;
        case ENOTDIR: return kPathNotFound;
        case EMFILE:
        case ENFILE: return kTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EISDIR: return kAccessDenied;
        case EBADF: return kInvalidHandle;
        case ENOMEM: return kNotEnoughMemory;
        case EAGAIN: return kLockViolation;
        case ENOSPC:
        case EDQUOT: return kDiskFull;
        case EROFS: return kDiskWriteProtected;
        case EIO: return kHardwareFailure;
        case EEXIST: return kAlreadyExists;
        case ENAMETOOLONG: return kFileNameTooLong;
        case EFBIG:
        case EOVERFLOW: return kFileTooLarge;
        case EINVAL: return kInvalidParameter;
        case EBUSY:
        case ETXTBSY: return kSharingViolation;
        default: return kInvalidParameter;
    }
}

}  // namespace platform
