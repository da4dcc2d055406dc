#include "untLogin.h"

#include "application.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "icons.h"
#include "untDM.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

bool acesso = false;
int tentativa = 0;

namespace {
// Shows every typed character of the password as "|".
class BarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '|';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

TfrmLogin::TfrmLogin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Acesso ao Sistema"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    lblSenha = new QLabel(QStringLiteral("Senha:"), this);
    lblSenha->setObjectName(QStringLiteral("lblSenha"));
    edtSenha = new QLineEdit(this);
    edtSenha->setObjectName(QStringLiteral("edtSenha"));
    edtSenha->setEchoMode(QLineEdit::Password);
    auto* barStyle = new BarPasswordStyle;
    barStyle->setParent(edtSenha);
    edtSenha->setStyle(barStyle);
    edtSenha->setMinimumWidth(200);
    lblSenha->setBuddy(edtSenha);
    edtSenha->installEventFilter(this);

    btnCancelar = new QPushButton(Icons::cancel(), QStringLiteral("&Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnEntrar = new QPushButton(Icons::enter(), QStringLiteral("&Entrar"), this);
    btnEntrar->setObjectName(QStringLiteral("btnEntrar"));
    for (QPushButton* b : {btnCancelar, btnEntrar}) {
        b->setIconSize(QSize(24, 24));
        b->setMinimumHeight(36);
        // Neither is the default button: Enter presses a button only while
        // it has the focus (see eventFilter).
        b->setAutoDefault(false);
        b->setDefault(false);
        b->installEventFilter(this);
    }

    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(lblSenha);
    passwordRow->addWidget(edtSenha, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnCancelar);
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnEntrar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(14);
    layout->addLayout(passwordRow);
    layout->addLayout(buttonRow);
    setFixedSize(sizeHint().expandedTo(QSize(330, 0)));

    setTabOrder(edtSenha, btnEntrar);
    setTabOrder(btnEntrar, btnCancelar);

    connect(btnEntrar, &QPushButton::clicked, this, guard([this] { btnEntrarClick(); }));
    connect(btnCancelar, &QPushButton::clicked, this, guard([this] { btnCancelarClick(); }));
    // Esc presses "Cancelar" instead of merely closing the window.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, btnCancelar, &QPushButton::click);
    connect(this, &QDialog::finished, this, guard([this] { FormClose(); }));
}

void TfrmLogin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

bool TfrmLogin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // edtSenhaKeyPress: Enter moves on to "Entrar" and makes no attempt.
            if (watched == edtSenha) {
                btnEntrar->setFocus(Qt::TabFocusReason);
                return true;
            }
            if (auto* button = qobject_cast<QPushButton*>(watched)) {
                button->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmLogin::FormShow()
{
    acesso = false;
    tentativa = 0;
    edtSenha->setFocus(Qt::OtherFocusReason);
}

void TfrmLogin::btnEntrarClick()
{
    RecordSet* usuario = dm->qrUsuario;
    usuario->Close();
    usuario->ParamByName(QStringLiteral("xSenha")).SetAsString(edtSenha->text());
    int rows = 0;
    try {
        usuario->Open();
        rows = usuario->RecordCount();
    } catch (const DatabaseError& e) {
        // A password longer than any stored one matches no user; the
        // server refuses the comparison instead of answering "no row".
        if (!e.hasCode(DatabaseError::StringTruncation))
            throw;
    }
    if (rows == 1) {
        acesso = true;
        accept();
    } else {
        dialogs().notice(
            QStringLiteral("Senha Inválida...\r\rConsulte o Responsável pelo Sistema."));
        ++tentativa;
        if (tentativa >= attemptLimit) {
            dialogs().notice(
                QStringLiteral("Acesso Negado...\r\rExcesso de Tentativas Inválidas."));
            Application::Terminate();
        }
    }
    edtSenha->clear();
    edtSenha->setFocus(Qt::OtherFocusReason);
}

void TfrmLogin::btnCancelarClick()
{
    Application::Terminate();
}

void TfrmLogin::FormClose()
{
    if (!acesso)
        Application::Terminate();
    deleteLater();
}
