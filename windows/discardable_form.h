#pragma once

// Windows that their close box discards (the help, About and news windows): the
// closed instance stays, hidden, until the next use asks for the window, which
// then gets a freshly loaded one. Deleting it at the close itself would pull it
// away under a modal loop that is still returning.

#include "platform/ui/forms.h"

namespace snapwire {

// `Window` has `bool IsDiscarded() const`.
template <typename Window>
Window& UndiscardedForm(ui::FormSlot<Window>& slot) {
    if (slot.IsLoaded() && slot.Get().IsDiscarded())
        slot.Unload();
    return slot.Get();
}

}  // namespace snapwire
