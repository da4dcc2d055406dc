#pragma once

#include <QWidget>

// A list window of the main window's workspace. Its FormShow runs once,
// from the first show; its FormClose whenever it closes, by its "Sair" or
// its close box. Both run through the handler guard.
class ListWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ListWindow(QWidget* parent = nullptr);

    virtual void FormShow() = 0;
    virtual void FormClose() = 0;

protected:
    // Closes the window: its sub-window when it lives in the workspace.
    void closeWindow();
    // Closes it as soon as the show in progress is over (FormShow found
    // nothing to list).
    void closeOnceShown();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_shown = false;
};
