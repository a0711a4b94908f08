// Binds a window's events to its handlers by the layout's event table: each
// row names a control, an event and a handler; the handler is found by name.
#pragma once

#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "controls.h"

namespace rastrex {

struct FormLayout;

// A handler by name, with the arguments its event passes.
struct NamedHandler {
    std::string_view name;
    std::function<void()> plain;
    std::function<void(int button, int shift, int x, int y)> mouse;
    std::function<void(const DragData&, int& effect, int button, int shift, int x, int y, DragState)> dragOver;
    std::function<void(const DragData&, int& effect, int button, int shift, int x, int y)> dragDrop;
    std::function<void(bool& cancel, UnloadCause)> queryUnload;

    NamedHandler(std::string_view n, std::function<void()> f) : name(n), plain(std::move(f)) {}
    NamedHandler(std::string_view n, std::function<void(int, int, int, int)> f) : name(n), mouse(std::move(f)) {}
    NamedHandler(std::string_view n,
                 std::function<void(const DragData&, int&, int, int, int, int, DragState)> f)
        : name(n), dragOver(std::move(f))
    {
    }
    NamedHandler(std::string_view n, std::function<void(const DragData&, int&, int, int, int, int)> f)
        : name(n), dragDrop(std::move(f))
    {
    }
    NamedHandler(std::string_view n, std::function<void(bool&, UnloadCause)> f)
        : name(n), queryUnload(std::move(f))
    {
    }
};

using HandlerTable = std::vector<NamedHandler>;

// What cannot be bound to a control: the window's Load handler, which the
// caller runs once its own setup is done.
struct EventHandlers {
    std::function<void()> load;
};

// Binds every row of `layout`'s event table. A row whose control, event or
// handler does not exist is a fault of the program: std::logic_error.
EventHandlers bindEvents(const FormLayout& layout, Window& window, const HandlerTable& handlers);

}  // namespace rastrex
