#pragma once

#include <QDate>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QToolButton;

// The application's frame: the multiple-document parent of the three list
// windows, with the menu, the emission button and the status bar.
class TfrmPrincipal : public QMainWindow
{
    Q_OBJECT
public:
    using WindowFactory = std::function<QWidget*(QWidget* parent)>;

    explicit TfrmPrincipal(QWidget* parent = nullptr);

    QString versao;

    QMenu* menCadastro;
    QAction* menCadCedente;
    QAction* menCadConta;
    QAction* menCadConvenio;
    QMenu* Sistema1;
    QAction* Sair1;
    QToolBar* panelFerramentas;
    QToolButton* btnEmissaoBoleto;
    QMdiArea* mdiArea;
    QLabel* StatusBarPanels[4];

    // The three list windows, each at most once.
    QPointer<QWidget> frmCedente;
    QPointer<QWidget> frmConta;
    QPointer<QWidget> frmConvenio;
    // How each list window is made; the menu items call these.
    void setListWindowFactories(WindowFactory cedente, WindowFactory conta, WindowFactory convenio);

    // Today's date; tests set a fixed clock.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    void FormCreate();
    void FormShow();
    void menCadCedenteClick();
    void menCadContaClick();
    void menCadConvenioClick();
    void btnEmissaoBoletoClick();
    void Sair1Click();
    // The exit question; raises the silent abort when the answer is No.
    void FormClose();

    QString dateText();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void openListWindow(const QString& name, QPointer<QWidget>& reference,
                        const WindowFactory& factory);

    bool m_shown = false;
    WindowFactory m_cedenteFactory;
    WindowFactory m_contaFactory;
    WindowFactory m_convenioFactory;
};
