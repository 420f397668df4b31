// Shared by the widget tests: the QApplication they run in and a few ways to drive widgets.
#pragma once

#include <QMimeData>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <Qt>
#include <ostream>

namespace lumatrim::test {

// Sends a drag of `data` into `target` at `at`: enter, move, then a drop when accepted.
// Returns whether the drop was accepted.
bool DragAndDrop(QWidget* target, QMimeData* data, QPoint at);

} // namespace lumatrim::test

// Readable test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
