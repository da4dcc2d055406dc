#include "untPrincipal.h"

#include "application.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "icons.h"
#include "untCedente.h"
#include "untConta.h"
#include "untConvenio.h"
#include "untDM.h"
#include "untLogin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

TfrmPrincipal::TfrmPrincipal(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("Trevalo - "));
    setWindowIcon(Icons::boleto());

    menCadastro = menuBar()->addMenu(QStringLiteral("&Cadastro"));
    menCadastro->setObjectName(QStringLiteral("menCadastro"));
    menCadCedente = menCadastro->addAction(QStringLiteral("&Cedente"));
    menCadCedente->setObjectName(QStringLiteral("menCadCedente"));
    menCadConta = menCadastro->addAction(QStringLiteral("C&onta"));
    menCadConta->setObjectName(QStringLiteral("menCadConta"));
    menCadConvenio = menCadastro->addAction(QStringLiteral("Con&vênio"));
    menCadConvenio->setObjectName(QStringLiteral("menCadConvenio"));
    Sistema1 = menuBar()->addMenu(QStringLiteral("&Sistema"));
    Sistema1->setObjectName(QStringLiteral("Sistema1"));
    Sair1 = Sistema1->addAction(QStringLiteral("&Sair"));
    Sair1->setObjectName(QStringLiteral("Sair1"));

    panelFerramentas = addToolBar(QStringLiteral("Ferramentas"));
    panelFerramentas->setObjectName(QStringLiteral("panelFerramentas"));
    panelFerramentas->setMovable(false);
    panelFerramentas->setFloatable(false);
    panelFerramentas->toggleViewAction()->setEnabled(false);
    btnEmissaoBoleto = new QToolButton(panelFerramentas);
    btnEmissaoBoleto->setObjectName(QStringLiteral("btnEmissaoBoleto"));
    btnEmissaoBoleto->setText(QStringLiteral("&Emissão de Boletos"));
    btnEmissaoBoleto->setIcon(Icons::boleto());
    btnEmissaoBoleto->setIconSize(QSize(32, 32));
    btnEmissaoBoleto->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btnEmissaoBoleto->setAutoRaise(true);
    panelFerramentas->addWidget(btnEmissaoBoleto);

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);

    const int widths[] = {1, 3, 3, 1};
    for (int i = 0; i < 4; ++i) {
        StatusBarPanels[i] = new QLabel(this);
        StatusBarPanels[i]->setObjectName(QStringLiteral("StatusBarPanel%1").arg(i));
        if (i < 3)
            StatusBarPanels[i]->setAlignment(Qt::AlignCenter);
        StatusBarPanels[i]->setFrameShape(QFrame::StyledPanel);
        StatusBarPanels[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(StatusBarPanels[i], widths[i]);
    }
    statusBar()->setSizeGripEnabled(true);

    setListWindowFactories([](QWidget* p) -> QWidget* { return new TfrmCedente(p); },
                           [](QWidget* p) -> QWidget* { return new TfrmConta(p); },
                           [](QWidget* p) -> QWidget* { return new TfrmConvenio(p); });

    connect(menCadCedente, &QAction::triggered, this, guard([this] { menCadCedenteClick(); }));
    connect(menCadConta, &QAction::triggered, this, guard([this] { menCadContaClick(); }));
    connect(menCadConvenio, &QAction::triggered, this, guard([this] { menCadConvenioClick(); }));
    connect(btnEmissaoBoleto, &QToolButton::clicked, this,
            guard([this] { btnEmissaoBoletoClick(); }));
    connect(Sair1, &QAction::triggered, this, guard([this] { Sair1Click(); }));

    resize(1024, 700);
    guarded([this] { FormCreate(); });
}

void TfrmPrincipal::setListWindowFactories(WindowFactory cedente, WindowFactory conta,
                                           WindowFactory convenio)
{
    m_cedenteFactory = std::move(cedente);
    m_contaFactory = std::move(conta);
    m_convenioFactory = std::move(convenio);
}

void TfrmPrincipal::FormCreate()
{
    versao = QStringLiteral("1.0.033");
}

void TfrmPrincipal::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Runs once the event loop is running, so that a failed login can end it.
    QTimer::singleShot(0, this, guard([this] { FormShow(); }));
}

// "Quarta-Feira, 10 de Dezembro de 2025": day and year are cut from the date
// written in the short date format, whatever separator the locale uses.
QString TfrmPrincipal::dateText()
{
    const FormatSettings& format = applicationFormatSettings();
    return dm->DiadaSemana(today()) + QStringLiteral(", ") + format.formatDate(today()).mid(0, 2) +
           QStringLiteral(" de ") + dm->MesExtenso(today()) + QStringLiteral(" de ") +
           format.formatDate(today()).mid(6, 4);
}

void TfrmPrincipal::FormShow()
{
    setWindowTitle(windowTitle() + QStringLiteral(" versão: ") + versao);

    auto* frmLogin = new TfrmLogin(this);
    frmLogin->exec();

    StatusBarPanels[2]->setText(QStringLiteral("Usuário: ") + dm->qrUsuarioNOME->AsString());
    applicationFormatSettings() = dm->FormatoDiaMesAno;
    StatusBarPanels[1]->setText(dateText());
}

void TfrmPrincipal::openListWindow(const QString& name, QPointer<QWidget>& reference,
                                   const WindowFactory& factory)
{
    if (findChild<QWidget*>(name) && reference) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(reference->parentWidget())) {
            sub->showNormal();
            mdiArea->setActiveSubWindow(sub);
        }
        reference->raise();
        reference->setFocus();
        return;
    }
    QWidget* window = factory(nullptr);
    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    reference = window;
    const QSize wanted = window->size();
    QMdiSubWindow* sub = mdiArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // As large as the window wants, within the workspace.
    sub->resize(
        sub->sizeHint().expandedTo(wanted + QSize(8, 32)).boundedTo(mdiArea->viewport()->size()));
    window->show();
    // Cascaded from the workspace's top left and wholly inside it, never
    // where the workspace's own placement might push it half out of sight.
    const QSize area = mdiArea->viewport()->size();
    const int step = 24 * int(mdiArea->subWindowList().size() - 1);
    sub->move(qBound(0, step, qMax(0, area.width() - sub->width())),
              qBound(0, step, qMax(0, area.height() - sub->height())));
    mdiArea->setActiveSubWindow(sub);
}

void TfrmPrincipal::menCadCedenteClick()
{
    openListWindow(QStringLiteral("frmCedente"), frmCedente, m_cedenteFactory);
}

void TfrmPrincipal::menCadContaClick()
{
    openListWindow(QStringLiteral("frmConta"), frmConta, m_contaFactory);
}

void TfrmPrincipal::menCadConvenioClick()
{
    openListWindow(QStringLiteral("frmConvenio"), frmConvenio, m_convenioFactory);
}

void TfrmPrincipal::btnEmissaoBoletoClick()
{
    dialogs().notice(QStringLiteral("Cadastre pelo menos um convênio para Emissão de Boletos."));
}

void TfrmPrincipal::Sair1Click()
{
    close();
}

void TfrmPrincipal::FormClose()
{
    if (!dialogs().question(QStringLiteral("Sair do sistema"),
                            QStringLiteral("Deseja realmente sair do sistema?")))
        throw SilentAbort();
    Application::Terminate();
}

void TfrmPrincipal::closeEvent(QCloseEvent* event)
{
    if (Application::Terminated()) {
        event->accept();
        return;
    }
    // Closed unless the user says No (or the question itself fails).
    event->ignore();
    guarded([&] {
        FormClose();
        event->accept();
    });
}
