#pragma once
// The main window "Quillon <agent address>": menus 128 and 129, the tool
// bar, the status bar, the application-wide commands (agent settings, MIB
// definitions, help, version) and its placement in etc/ini/quillon.ini.

#include "mibcore/platform/MainFrame.h"

#include <QPointer>

#include <string>

#include "app/CMIBTreeDlg.h"
#include <QTextBrowser>

class CMainFrame : public platform::MainFrame {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Bars, title and saved placement; false when a bar cannot be made.
    bool LoadFrame();

    // "Quillon " followed by the current agent address.
    void RefreshTitle();
    static std::string PlacementPath();
    // Size without a saved placement: three quarters of the work area, at
    // least 800 x 600 where the work area has room for it.
    static QSize DefaultSize(const QRect& workArea);
    void SavePlacement();

    // Commands.
    void OnMibDefinition();  // 32779
    void OnAgentSettings();  // 32780
    void OnHelp();           // 57663
    // View > Language: keeps the choice in quillon.ini for the next start.
    void OnLanguage(int id);  // 32790..32792
    static std::string LanguageIniPath();

    CMIBTreeDlg* GetMIBTreeDlg() const { return m_mibTreeDlg; }
    QTextBrowser* GetHelpWindow() const { return m_helpWindow; }

    // The manual's first page below the start directory.
    static std::string HelpIndexPath();

    // While the loader runs the frame cannot be closed (the loader may be
    // waiting for the operator's answer to one of its messages).
    void SetLoading(bool on) { m_loading = on; }

    // Our own help window on a page of the manual (when no browser is there),
    // inside the screen's work area.
    void ShowHelpWindow(const QString& path);
    // The program that opens the manual in the desktop's browser.
    static QString& BrowserCommand();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // Moves (and if need be shrinks) a shown top-level window into the work
    // area of the frame's screen.
    void FitIntoWorkArea(QWidget* w);

    QPointer<CMIBTreeDlg> m_mibTreeDlg;
    QPointer<QTextBrowser> m_helpWindow;
    bool m_placementSaved = false;
    bool m_loading = false;
};
