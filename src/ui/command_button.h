// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One of the window's three big buttons: a two-state button that acts once per press (its
// handler sees the checked state, then sets it back), drawn with its icon above a caption that
// wraps onto as many lines as the button needs. Enter presses it, as Space does.
#pragma once

#include <QPushButton>
#include <functional>

namespace lumatrim {

class CommandButton : public QPushButton {
    Q_OBJECT

public:
    CommandButton(const QIcon& icon, const QString& caption, QWidget* parent = nullptr);

    // Runs `action` once for each press.
    void OnPress(std::function<void()> action);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lumatrim
