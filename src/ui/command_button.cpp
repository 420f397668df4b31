// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/command_button.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace lumatrim {

namespace {

constexpr int kIconSize = 32;
constexpr int kMargin = 4;

} // namespace

CommandButton::CommandButton(const QIcon& icon, const QString& caption, QWidget* parent)
    : QPushButton(icon, caption, parent) {
    setCheckable(true);
    setIconSize(QSize(kIconSize, kIconSize));
}

// Setting the button back does not raise another click, so one press runs one action.
void CommandButton::OnPress(std::function<void()> action) {
    connect(this, &QPushButton::clicked, this, [this, action = std::move(action)](bool checked) {
        if (!checked) return;
        setChecked(false);
        action();
    });
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QRect iconArea(area.left(), area.top() + kMargin, area.width(), kIconSize);
    icon().paint(&painter, iconArea, Qt::AlignCenter,
                 isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const QRect textArea = area.adjusted(0, kIconSize + 2 * kMargin, 0, 0);
    painter.setPen(option.palette.color(QPalette::ButtonText)); // greyed when disabled
    painter.drawText(textArea, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text());
}

} // namespace lumatrim
