#pragma once

#include <QString>

class QWidget;

namespace ferrowyn {

enum class Focus { Passed, None };

// Makes `inner` fill `outer` exactly, whatever its own preferred size: each control is a plain widget with the
// surface the window uses, and the Qt widget that does the work inside it. With Focus::Passed the control takes
// the keyboard focus in its place in the window's focus order and hands it to `inner`.
//
// A screen reader meets `inner`, so it carries the control's accessible name, and the tooltip given to `outer`
// as its accessible description.
void fillWith(QWidget* outer, QWidget* inner, Focus focus, const QString& accessibleName = {});

} // namespace ferrowyn
