#include "windows/modal_showing.h"

#include <QDialog>

namespace snapwire {

namespace {

std::function<void(QDialog&)>& ReplacedShowing() {
    static std::function<void(QDialog&)> show;
    return show;
}

}  // namespace

void ShowModally(QDialog& window) {
    if (ReplacedShowing()) {
        ReplacedShowing()(window);
        return;
    }
    window.exec();
}

void SetModalShowingForTests(std::function<void(QDialog&)> show) {
    ReplacedShowing() = std::move(show);
}

}  // namespace snapwire
