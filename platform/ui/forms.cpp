#include "platform/ui/forms.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace snapwire::ui {

namespace {

struct LoadedForm {
    const void* slot;
    std::function<void()> unload;
};

// Left alive past static destruction: slots declared as function statics forget
// themselves while the program's statics are torn down.
std::vector<LoadedForm>& LoadedForms() {
    static auto* forms = new std::vector<LoadedForm>;
    return *forms;
}

void Erase(const void* slot) {
    std::vector<LoadedForm>& forms = LoadedForms();
    forms.erase(std::remove_if(forms.begin(), forms.end(),
                               [slot](const LoadedForm& form) { return form.slot == slot; }),
                forms.end());
}

}  // namespace

namespace detail {

void RegisterLoadedForm(const void* slot, std::function<void()> unload) {
    Erase(slot);
    LoadedForms().push_back({slot, std::move(unload)});
}

void ForgetLoadedForm(const void* slot) {
    Erase(slot);
}

}  // namespace detail

// A form's destructor may unload or even touch other forms; the list is read
// afresh after every unload for that reason.
void UnloadAllForms() {
    std::vector<LoadedForm>& forms = LoadedForms();
    while (!forms.empty()) {
        LoadedForm newest = std::move(forms.back());
        forms.pop_back();
        newest.unload();
    }
}

}  // namespace snapwire::ui
