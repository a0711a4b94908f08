#include "event_binding.h"

#include <stdexcept>
#include <string>

#include "layouts.h"

namespace rastrex {

namespace {

[[noreturn]] void unbound(const EventBinding& row, const char* what)
{
    throw std::logic_error(std::string(row.control) + " " + std::string(row.handler) + ": " + what);
}

const NamedHandler& find(const HandlerTable& handlers, const EventBinding& row)
{
    for (const NamedHandler& h : handlers)
        if (h.name == row.handler)
            return h;
    unbound(row, "no such handler");
}

template <typename F>
const F& need(const F& f, const EventBinding& row)
{
    if (!f)
        unbound(row, "handler takes other arguments");
    return f;
}

}  // namespace

EventHandlers bindEvents(const FormLayout& layout, Window& window, const HandlerTable& handlers)
{
    EventHandlers out;
    for (const EventBinding& row : layout.events) {
        const NamedHandler& h = find(handlers, row);
        const bool onWindow = row.control == "window";
        switch (row.event) {
        case Event::Load:
            out.load = need(h.plain, row);
            break;
        case Event::Resize:
            window.resize = need(h.plain, row);
            break;
        case Event::QueryUnload:
            window.queryUnload = need(h.queryUnload, row);
            break;
        case Event::Click:
            if (CheckBox* c = onWindow ? nullptr : window.checkBox(row.control))
                c->click = need(h.plain, row);
            else if (CommandButton* b = onWindow ? nullptr : window.commandButton(row.control))
                b->click = need(h.plain, row);
            else if (MenuItem* m = onWindow ? nullptr : window.menuItem(row.control))
                m->click = need(h.plain, row);
            else
                unbound(row, "no control with a click");
            break;
        case Event::Change:
            if (DriveList* d = window.driveList(row.control))
                d->change = need(h.plain, row);
            else if (DirList* l = window.dirList(row.control))
                l->change = need(h.plain, row);
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
                f->dblClick = need(h.plain, row);
            else if (row.event == Event::MouseDown)
                f->mouseDown = need(h.mouse, row);
            else if (row.event == Event::OLEDragOver)
                f->oleDragOver = need(h.dragOver, row);
            else
                f->oleDragDrop = need(h.dragDrop, row);
            break;
        }
        }
    }
    return out;
}

}  // namespace rastrex
