// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/PageRenderer.h"

#include <QObject>
#include <QString>
#include <deque>
#include <vector>

namespace quillet::outline {
class Workspace;
}

namespace quillet::snapshots {

// One bookmark of the snapshot window's list.
struct SnapshotEntry
{
    QString key;
    QString name;
    QString link;
    bool checked = true;
};

// The controls of the snapshot window as the run sets them; the window
// shows them after every controlsChanged().
struct SnapshotControls
{
    QString itemName; // txtItem
    QString link; // cboLink
    bool linkEnabled = true;
    bool itemPanelEnabled = true; // picItem: the name box and the list toggle
    bool startEnabled = true;
    bool stopEnabled = false;
    QString startCaption;
    bool listShown = false;
    bool progressVisible = false;
    int progressValue = 0;
    int progressMaximum = 0;
    QString status;
};

// frmSnap as logic: for every checked bookmark the renderer loads its link,
// the whole page is captured, stored as a PNG picture in the image folder and
// becomes the bookmark's picture and thumbnail. The run never blocks: it
// moves on when the renderer reports a loaded page or a finished capture,
// and the buttons only set requests that the run handles between its steps
// (at once while it waits for a page), so Pause, Stop and closing always
// get through.
class SnapshotRun : public QObject, public platform::PageRendererListener
{
    Q_OBJECT
public:
    enum class Mode
    {
        Idle,
        Running,
        Paused
    };

    // Lists the selected bookmarks of the main list and loads "about:blank".
    SnapshotRun(
        outline::Workspace &workspace, platform::PageRenderer &renderer, QObject *parent = nullptr);
    ~SnapshotRun() override;

    const std::vector<SnapshotEntry> &entries() const { return m_entries; }
    void setChecked(int row, bool checked);
    const SnapshotControls &controls() const { return m_controls; }
    Mode mode() const { return m_mode; }
    int pendingCount() const { return static_cast<int>(m_pending.size()); }
    int textZoom() const { return m_textZoom; }

    // cmdStart: Start, Pause or Resume.
    void startClicked();
    // cmdStop.
    void stopClicked();
    // View > Stop (Esc): stop loading and capture the page as it is.
    void forceCapture();
    // View > Refresh (F5).
    void refresh();
    void setTextZoom(int level);
    // Enter in the link box: the page typed there is the next snapshot.
    void linkEntered(const QString &address);
    // The list toggle: the list shows instead of the page, or the reverse.
    void toggleList();
    // The window closes: a run ends at its next step, nothing more is stored.
    void close();

    void documentCompleted() override;
    void statusTextChanged(const QString &text) override;
    void captureCut(QSize page, QSize kept) override;

Q_SIGNALS:
    void controlsChanged();

private:
    enum class Phase
    {
        None,
        Starting, // the entry shows; the request check comes next
        Waiting, // for the page to load
        Capturing
    };

    bool requestCheck();
    void endSteps();
    void runNext();
    void navigateStep();
    void wake();
    void capture();
    void captured(const QImage &image);
    void finish();
    void store(const SnapshotEntry &entry, const QImage &image);
    void refreshOrigin(const SnapshotEntry &entry);
    void setStatus(const QString &text);
    void changed() { Q_EMIT controlsChanged(); }

    outline::Workspace &m_ws;
    platform::PageRenderer &m_renderer;
    std::vector<SnapshotEntry> m_entries;
    std::deque<SnapshotEntry> m_pending;
    SnapshotControls m_controls;
    QString m_headingKey;
    QString m_originKey;
    Mode m_mode = Mode::Idle;
    Phase m_phase = Phase::None;
    int m_steps = 0; // counts run endings; a step of an ended run is dropped
    int m_unwritten = 0; // pictures of this run that could not be written
    int m_textZoom = platform::PageRenderer::kDefaultTextZoom;
    bool m_closeRequest = false;
    bool m_stopRequest = false;
    bool m_pauseRequest = false;
    bool m_pageReady = false;
    bool m_forceCapture = false;
    bool m_manualLink = false;
    bool m_skipFirstCompletion = true;
    QString m_cutStatus; // of the capture in work: what part of the page it keeps
};

QString snapshotWindowTitle();

} // namespace quillet::snapshots
