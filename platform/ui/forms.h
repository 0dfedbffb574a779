#pragma once

// Windows that hold settings are created the first time anything touches them,
// run their load then, and stay in existence (hidden) until they are unloaded or
// the program ends. The instance exists before its load runs, so a window whose
// load touches another window that touches it back finds it (half-loaded), as the
// program's start-up order requires.
//
// Use:  frmMain& frmMain() { static ui::FormSlot<FrmMain> slot; return slot.Get(); }
// A form class needs a default constructor and a `void Form_Load()` member.

#include <functional>
#include <memory>

namespace snapwire::ui {

namespace detail {
// Records an unloader so UnloadAllForms can destroy forms in reverse creation order.
void RegisterLoadedForm(const void* slot, std::function<void()> unload);
void ForgetLoadedForm(const void* slot);
}  // namespace detail

template <typename T>
class FormSlot {
  public:
    FormSlot() = default;
    FormSlot(const FormSlot&) = delete;
    FormSlot& operator=(const FormSlot&) = delete;
    ~FormSlot() { detail::ForgetLoadedForm(this); }

    // The loaded instance; creates and loads it at first touch.
    T& Get() {
        if (!instance_) {
            instance_ = std::make_unique<T>();
            detail::RegisterLoadedForm(this, [this] { instance_.reset(); });
            instance_->Form_Load();
        }
        return *instance_;
    }
    bool IsLoaded() const { return instance_ != nullptr; }
    // Destroys the window; the next touch loads a fresh one.
    void Unload() {
        detail::ForgetLoadedForm(this);
        instance_.reset();
    }

  private:
    std::unique_ptr<T> instance_;
};

// Destroys every loaded form, newest first (end of program, and between tests).
// Forms are widgets: call it while the application object still exists.
void UnloadAllForms();

}  // namespace snapwire::ui
