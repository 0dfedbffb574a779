#include "platform/capture/gst_runtime.h"

#include <mutex>

namespace snapwire::capture {

void EnsureGstreamer() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

QString TakeErrorMessage(GError* error) {
    if (!error)
        return {};
    QString message = QString::fromUtf8(error->message);
    g_error_free(error);
    return message;
}

}  // namespace snapwire::capture
