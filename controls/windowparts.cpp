#include "windowparts.h"

#include <QLabel>
#include <QToolButton>

namespace WindowParts {

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint, const QIcon& icon)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(icon);
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(84);
    b->setAccessibleDescription(hint);
    b->setProperty("hint", hint);
    return b;
}

QLabel* titleBand(QWidget* parent, const QString& name, const QString& text)
{
    auto* band = new QLabel(text, parent);
    band->setObjectName(name);
    band->setAlignment(Qt::AlignCenter);
    band->setFrameShape(QFrame::StyledPanel);
    band->setFrameShadow(QFrame::Raised);
    QFont f = band->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    band->setFont(f);
    band->setMinimumHeight(band->fontMetrics().height() + 12);
    band->setAutoFillBackground(true);
    return band;
}

} // namespace WindowParts
