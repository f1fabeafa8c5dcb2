#include "dataset/ApplicationErrors.h"

#include <cstdio>
#include <mutex>

namespace {
std::mutex gMutex;
TApplicationExceptionHandler& Handler() {
    static TApplicationExceptionHandler handler;
    return handler;
}
}  // namespace

TApplicationExceptionHandler SetApplicationExceptionHandler(TApplicationExceptionHandler handler) {
    std::lock_guard<std::mutex> g(gMutex);
    TApplicationExceptionHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

void HandleApplicationException(const std::exception& e) {
    TApplicationExceptionHandler h;
    {
        std::lock_guard<std::mutex> g(gMutex);
        h = Handler();
    }
    if (h) {
        h(e);
    } else {
        std::fprintf(stderr, "%s\n", e.what());
    }
}
