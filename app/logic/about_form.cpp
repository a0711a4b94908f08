#include "about_form.h"

#include <stdexcept>
#include <string>

#include "event_binding.h"
#include "layouts.h"

namespace rastrex {

AboutForm::AboutForm(Toolkit& toolkit)
    : window_(toolkit.buildWindow(aboutFormLayout(), WindowRole::Secondary))
{
    Text2 = window_->textBox("Text2");
    Label2 = window_->label("Label2");
    Label3 = window_->label("Label3");

    const EventHandlers bound = bindEvents(aboutFormLayout(), *window_, [this](int h) -> Handler {
        switch (static_cast<AboutHandler>(h)) {
        case AboutHandler::Form_Load:
            return handler(this, &AboutForm::Form_Load);
        case AboutHandler::Command2_Click:
            return handler(this, &AboutForm::Command2_Click);
        }
        throw std::logic_error("AboutForm has no handler " + std::to_string(h));
    });
    if (bound.load)
        bound.load();
}

void AboutForm::Form_Load() {}

void AboutForm::Command2_Click()
{
    window_->unload();
}

}  // namespace rastrex
