#include "gui/WebHost.h"

#include "platform/sys/Env.h"

namespace gui {

std::string WebHost() {
    const std::string host = platform::GetEnv("MARVENLOT_WEB_HOST");
    return host.empty() ? "www.marvenlot.invalid" : host;
}

std::string WebPageUrl(std::string_view path) {
    return "http://" + WebHost() + std::string(path);
}

}  // namespace gui
