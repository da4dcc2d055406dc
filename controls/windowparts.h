#pragma once

#include <QIcon>
#include <QString>

class QLabel;
class QToolButton;
class QWidget;

// Pieces the list and data-entry windows share.
namespace WindowParts {

// A tool-bar button with its picture above the caption. The hint is kept
// as the button's accessible description; no tooltip is shown.
QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint, const QIcon& icon);

// A band across the window with a title in large type.
QLabel* titleBand(QWidget* parent, const QString& name, const QString& text);

} // namespace WindowParts
