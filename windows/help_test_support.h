#pragma once

// What the tests of the help, About and news windows share: every modal showing
// and every opened link is recorded instead of carried out.

#include "testsupport/window_test.h"
#include "windows/frm_help.h"
#include "windows/html_browser.h"
#include "windows/link_opener.h"
#include "windows/modal_showing.h"

#include <QDialog>
#include <QTreeWidget>
#include <QUrl>
#include <vector>

namespace snapwire::testing {

// One modal showing, as the window stood when it was shown.
struct ModalShowing {
    QDialog* window = nullptr;
    bool visibleBefore = false;
    QString helpPage;         // the help window's page, when it was the help window
    QString helpSelectedKey;  // and its selected node
};

class HelpWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetModalShowingForTests([this](QDialog& window) { RecordShowing(window); });
        SetLinkOpenerForTests([this](const QUrl& link) { openedLinks.push_back(link); });
    }
    void TearDown() override {
        SetModalShowingForTests({});
        SetLinkOpenerForTests({});
        WindowTest::TearDown();
    }

    std::vector<ModalShowing> showings;
    std::vector<QUrl> openedLinks;

  private:
    void RecordShowing(QDialog& window) {
        ModalShowing showing{&window, window.isVisible(), {}, {}};
        if (auto* help = dynamic_cast<frmHelp*>(&window)) {
            showing.helpPage = help->help_browser->LocationURL();
            showing.helpSelectedKey = help->SelectedKey();
        }
        showings.push_back(showing);
    }
};

}  // namespace snapwire::testing
