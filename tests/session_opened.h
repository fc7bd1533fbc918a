#pragma once
// A session that Session::host, join or joinByCode opened, or null with its message in error: the
// form the network tests compare and print.
#include <memory>
#include <string>

#include "net/session.h"
#include "platform/result.h"

namespace zib::net {

inline std::unique_ptr<Session> take(Result<std::unique_ptr<Session>> opened, std::string& error) {
    if (!opened) {
        error = opened.error();
        return nullptr;
    }
    return std::move(*opened);
}

}  // namespace zib::net
