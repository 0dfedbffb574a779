#pragma once

// Opening a web or mail address with the user's default program (browser, mail
// client). Tests put a recorder in its place, so a test never starts a browser;
// on the offscreen platform, where nobody could see one, the real opener opens
// nothing either.

#include <functional>

class QUrl;

namespace snapwire {

// Asks the desktop to open `address`; a failure is not reported.
void OpenLink(const QUrl& address);

// Replaces the opener; an empty function brings back the real one.
void SetLinkOpenerForTests(std::function<void(const QUrl&)> opener);

}  // namespace snapwire
