// Binds a window's events to its handlers by the layout's event table: each
// row names a control, an event and one of the form's handlers (layouts.h),
// which the form gives as a method of its own.
#pragma once

#include <functional>
#include <utility>
#include <variant>

#include "controls.h"

namespace rastrex {

struct FormLayout;

// A handler with the arguments its event passes.
using Handler = std::variant<
    std::function<void()>,                                              // Load, Resize, Click, Change, DblClick
    std::function<void(int button, int shift, int x, int y)>,          // MouseDown
    std::function<void(const DragData&, int& effect, int button, int shift, int x, int y, DragState)>,  // OLEDragOver
    std::function<void(const DragData&, int& effect, int button, int shift, int x, int y)>,  // OLEDragDrop
    std::function<void(bool& cancel, UnloadCause)>>;                    // QueryUnload

// The method `method` of `form` as a handler.
template <typename Form, typename... Args>
Handler handler(Form* form, void (Form::*method)(Args...))
{
    return std::function<void(Args...)>([form, method](Args... args) { (form->*method)(std::forward<Args>(args)...); });
}

// What cannot be bound to a control: the window's Load handler, which the
// caller runs once its own setup is done.
struct EventHandlers {
    std::function<void()> load;
};

// Binds every row of `layout`'s event table to handlerOf(row.handler). A
// row whose control or event does not exist, or whose handler takes other
// arguments than its event passes, is a fault of the program:
// std::logic_error.
EventHandlers bindEvents(const FormLayout& layout, Window& window, const std::function<Handler(int)>& handlerOf);

}  // namespace rastrex
