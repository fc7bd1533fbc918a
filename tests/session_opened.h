#pragma once
// A session that Session::host, join or joinByCode (or a spectator's WatchSession) opened, or null
// with its message in error: the form the network tests compare and print.
#include <memory>
#include <string>

#include "net/session.h"
#include "platform/result.h"

namespace zib::net {

template <typename Opened>
std::unique_ptr<Opened> take(Result<std::unique_ptr<Opened>> opened, std::string& error) {
    if (!opened) {
        error = opened.error();
        return nullptr;
    }
    return std::move(*opened);
}

}  // namespace zib::net
