#pragma once
// The maker's web site that page paths are appended to: MARVENLOT_WEB_HOST (host or host:port);
// when unset a name that never resolves, so nothing is sent anywhere unconfigured.

#include <string>
#include <string_view>

namespace gui {

std::string WebHost();
// "http://" + WebHost() + path.
std::string WebPageUrl(std::string_view path);

}  // namespace gui
