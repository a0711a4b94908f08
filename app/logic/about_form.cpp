#include "about_form.h"

#include "event_binding.h"
#include "layouts.h"

namespace rastrex {

AboutForm::AboutForm(Toolkit& toolkit)
    : window_(toolkit.buildWindow(aboutFormLayout(), WindowRole::Secondary))
{
    Text2 = window_->textBox("Text2");
    Label2 = window_->label("Label2");
    Label3 = window_->label("Label3");

    const HandlerTable handlers{
        {"Form_Load", [this] { Form_Load(); }},
        {"Command2_Click", [this] { Command2_Click(); }},
    };
    const EventHandlers bound = bindEvents(aboutFormLayout(), *window_, handlers);
    if (bound.load)
        bound.load();
}

void AboutForm::Form_Load() {}

void AboutForm::Command2_Click()
{
    window_->unload();
}

}  // namespace rastrex
