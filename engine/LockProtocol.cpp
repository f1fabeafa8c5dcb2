#include "engine/LockProtocol.h"

#include <chrono>
#include <thread>

bool TgsLockConstants::SetFor(int p) {
    switch (p) {
        case static_cast<int>(TgsLokProtocol::Default):
        case static_cast<int>(TgsLokProtocol::FoxLock):
            *this = {0x40000000u, 0x7FFFFFFEu, 0x3FFFFFFFu};
            return true;
        case static_cast<int>(TgsLokProtocol::DB4Lock):
            *this = {0x40000000u, 0xEFFFFFFFu, 0xB0000000u};
            return true;
        case static_cast<int>(TgsLokProtocol::ClipLock):
            *this = {1000000000u, 1000000000u, 1000000000u};
            return true;
        default:
            return false;
    }
}

bool TgsLockConstants::RecordRegion(int protocol, int32_t n, bool indexFilesOpen,
                                    uint32_t headerLength, uint32_t recordLength,
                                    uint32_t& offset) const {
    const uint32_t rec = static_cast<uint32_t>(n);
    switch (protocol) {
        case static_cast<int>(TgsLokProtocol::Default):
        case static_cast<int>(TgsLokProtocol::FoxLock):
            offset = indexFilesOpen ? recordBase - rec
                                    : tableOffset + headerLength + (rec - 1u) * recordLength;
            return true;
        case static_cast<int>(TgsLokProtocol::DB4Lock):
            offset = recordBase - rec - 1u;
            return true;
        case static_cast<int>(TgsLokProtocol::ClipLock):
            offset = tableOffset + rec;
            return true;
        default:
            return false;
    }
}

void SleepMilliseconds(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
