// The Qt 6 Widgets back end. Exposed for the widget tests, which look at the
// widgets behind the layer's components.
#pragma once

#include "vcl/Backend.h"
#include "vcl/Controls.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace vcl::qt {

// The widget behind a control or a form (a form's is its top-level
// window); null before the native control exists.
QWidget *WidgetOf(const TControl &control);
// The widget inside a form's window that holds its controls.
QWidget *ClientOf(const TForm &form);

QFont ToQFont(const TFontData &font);
QColor ToQColor(TColor color);

// Creates the toolkit's application object if it does not exist yet, so
// tests can use it before the first form.
void EnsureApplication();

} // namespace vcl::qt
