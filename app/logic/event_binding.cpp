#include "event_binding.h"

#include <stdexcept>
#include <string>

#include "layouts.h"

namespace rastrex {

namespace {

[[noreturn]] void unbound(const EventBinding& row, const char* what)
{
    throw std::logic_error(std::string(row.control) + " handler " + std::to_string(row.handler) + ": " + what);
}

template <typename F>
F need(const Handler& h, const EventBinding& row)
{
    if (const F* f = std::get_if<F>(&h); f != nullptr && *f)
        return *f;
    unbound(row, "handler takes other arguments");
}

using Plain = std::function<void()>;

}  // namespace

EventHandlers bindEvents(const FormLayout& layout, Window& window, const std::function<Handler(int)>& handlerOf)
{
    EventHandlers out;
    for (const EventBinding& row : layout.events) {
        const Handler h = handlerOf(row.handler);
        const bool onWindow = row.control == "window";
        switch (row.event) {
        case Event::Load:
            out.load = need<Plain>(h, row);
            break;
        case Event::Resize:
            window.resize = need<Plain>(h, row);
            break;
        case Event::QueryUnload:
            window.queryUnload = need<decltype(window.queryUnload)>(h, row);
            break;
        case Event::Click:
            if (CheckBox* c = onWindow ? nullptr : window.checkBox(row.control))
                c->click = need<Plain>(h, row);
            else if (CommandButton* b = onWindow ? nullptr : window.commandButton(row.control))
                b->click = need<Plain>(h, row);
            else if (MenuItem* m = onWindow ? nullptr : window.menuItem(row.control))
                m->click = need<Plain>(h, row);
            else
                unbound(row, "no control with a click");
            break;
        case Event::Change:
            if (DriveList* d = window.driveList(row.control))
                d->change = need<Plain>(h, row);
            else if (DirList* l = window.dirList(row.control))
                l->change = need<Plain>(h, row);
            else
                unbound(row, "no control with a change");
            break;
        case Event::DblClick:
        case Event::MouseDown:
        case Event::OLEDragOver:
        case Event::OLEDragDrop: {
            FileList* f = window.fileList(row.control);
            if (f == nullptr)
                unbound(row, "no file list");
            if (row.event == Event::DblClick)
                f->dblClick = need<Plain>(h, row);
            else if (row.event == Event::MouseDown)
                f->mouseDown = need<decltype(f->mouseDown)>(h, row);
            else if (row.event == Event::OLEDragOver)
                f->oleDragOver = need<decltype(f->oleDragOver)>(h, row);
            else
                f->oleDragDrop = need<decltype(f->oleDragDrop)>(h, row);
            break;
        }
        }
    }
    return out;
}

}  // namespace rastrex
