// AboutForm: the version window. It shows the texts and pictures of its
// layout and nothing read at run time.
#pragma once

#include <memory>

#include "controls.h"

namespace rastrex {

class AboutForm {
public:
    // Builds the window from its layout and runs its Load handler; it is
    // shown by show().
    explicit AboutForm(Toolkit& toolkit);

    Window& window() { return *window_; }
    void show() { window_->show(); }
    void unload() { window_->unload(); }
    bool loaded() const { return window_->loaded(); }

    TextBox* Text2 = nullptr;
    Label* Label2 = nullptr;
    Label* Label3 = nullptr;

    void Form_Load();
    void Command2_Click();

private:
    std::unique_ptr<Window> window_;
};

}  // namespace rastrex
