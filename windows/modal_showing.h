#pragma once

// Showing a window modally: the caller waits until the window is hidden or closed.
// Tests replace the waiting with a function of their own (it sees the window as it
// would be shown and returns at once), so no test sits in a modal loop.

#include <functional>

class QDialog;

namespace snapwire {

// Shows `window` modally and returns when it has been hidden or closed.
void ShowModally(QDialog& window);

// Replaces the modal showing; an empty function brings back the real one.
void SetModalShowingForTests(std::function<void(QDialog&)> show);

}  // namespace snapwire
