// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/snapshots/SnapshotRun.h"

#include "core/common/Strings.h"
#include "core/outline/Workspace.h"
#include "core/snapshots/BookmarkPicture.h"
#include "core/snapshots/CaptureLimits.h"
#include "core/snapshots/ImageFiles.h"
#include "core/store/BookmarkTable.h"
#include "core/store/EngineError.h"

#include <QDateTime>
#include <QFile>
#include <QPointer>
#include <QTimer>

namespace quillet::snapshots {

namespace {

const QString kBlankPage = QStringLiteral("about:blank");
const QString kStartCaption = QStringLiteral("&Start");
const QString kPauseCaption = QStringLiteral("&Pause");
const QString kResumeCaption = QStringLiteral("&Resume");

QString idleStatus()
{
    return QString::fromLatin1(strings::kStatusIdle);
}

QString stepStatus(const SnapshotEntry &entry, const char *step)
{
    return entry.name + QStringLiteral(" - ") + QLatin1String(step);
}

QString unwrittenText(int count)
{
    return count == 1 ? QStringLiteral("1 picture could not be written")
                      : QStringLiteral("%1 pictures could not be written").arg(count);
}

} // namespace

QString snapshotWindowTitle()
{
    return QLatin1Char(' ') + QLatin1String(strings::kTitle);
}

SnapshotRun::SnapshotRun(
    outline::Workspace &workspace, platform::PageRenderer &renderer, QObject *parent)
    : QObject(parent)
    , m_ws(workspace)
    , m_renderer(renderer)
{
    m_renderer.setListener(this);
    m_renderer.navigate(kBlankPage);

    outline::BookmarkList &list = m_ws.list();
    const outline::BookmarkListModel &model = list.model();
    for (const QString &key : list.selectedBookmarks()) {
        const int row = model.rowOfKey(key);
        if (row >= 0)
            m_entries.push_back({key, model.entry(row).name, model.entry(row).link, true});
    }
    if (!m_entries.empty()) {
        m_controls.itemName = m_entries.front().name;
        m_controls.link = m_entries.front().link;
    }
    if (const outline::HeadingNode *heading = m_ws.tree().current())
        m_headingKey = heading->key;
    m_originKey = list.selectedKey();
    m_controls.startCaption = kStartCaption;
    m_controls.status = idleStatus();
}

SnapshotRun::~SnapshotRun()
{
    m_renderer.setListener(nullptr);
}

void SnapshotRun::setChecked(int row, bool checked)
{
    if (row >= 0 && row < static_cast<int>(m_entries.size()))
        m_entries[static_cast<size_t>(row)].checked = checked;
}

void SnapshotRun::setStatus(const QString &text)
{
    m_controls.status = text;
    changed();
}

// Handles the requests of the buttons and the window, most urgent first;
// true when the run ends here.
bool SnapshotRun::requestCheck()
{
    if (m_closeRequest) {
        m_closeRequest = false;
        m_pending.clear();
        endSteps();
        return true;
    }
    if (m_pauseRequest) {
        m_pauseRequest = false;
        m_renderer.stop();
        m_controls.linkEnabled = true;
        m_controls.progressVisible = false;
        m_controls.stopEnabled = false;
        m_mode = Mode::Paused;
        m_controls.startCaption = kResumeCaption;
        m_pageReady = m_forceCapture = m_manualLink = false;
        endSteps();
        setStatus(idleStatus());
        return true;
    }
    if (m_stopRequest) {
        m_stopRequest = false;
        m_renderer.stop();
        m_controls.progressVisible = false;
        m_controls.itemPanelEnabled = m_controls.linkEnabled = true;
        m_controls.stopEnabled = false;
        m_mode = Mode::Idle;
        m_controls.startCaption = kStartCaption;
        m_pageReady = m_forceCapture = m_manualLink = false;
        m_pending.clear();
        endSteps();
        setStatus(idleStatus());
        return true;
    }
    return false;
}

void SnapshotRun::endSteps()
{
    m_phase = Phase::None;
    ++m_steps;
}

void SnapshotRun::startClicked()
{
    if (!m_controls.startEnabled)
        return;
    switch (m_mode) {
    case Mode::Running:
        m_pauseRequest = true;
        wake();
        return;
    case Mode::Paused:
        m_controls.progressVisible = true;
        m_controls.linkEnabled = false;
        m_controls.stopEnabled = true;
        m_mode = Mode::Running;
        m_controls.startCaption = kPauseCaption;
        runNext();
        return;
    case Mode::Idle:
        break;
    }
    for (const SnapshotEntry &entry : m_entries) {
        if (entry.checked)
            m_pending.push_back(entry);
    }
    if (m_pending.empty())
        return;
    m_controls.itemPanelEnabled = m_controls.linkEnabled = false;
    m_controls.stopEnabled = true;
    m_mode = Mode::Running;
    m_controls.startCaption = kPauseCaption;
    m_controls.progressVisible = true;
    m_controls.progressValue = 0;
    m_controls.progressMaximum = static_cast<int>(m_pending.size());
    m_unwritten = 0;
    runNext();
}

void SnapshotRun::stopClicked()
{
    if (m_mode != Mode::Running || !m_controls.stopEnabled)
        return;
    m_stopRequest = true;
    wake();
}

void SnapshotRun::forceCapture()
{
    m_renderer.stop();
    m_forceCapture = true;
    wake();
}

void SnapshotRun::refresh()
{
    // Ready is for the page as it loads again, not as it was.
    m_pageReady = false;
    m_renderer.reload();
}

void SnapshotRun::setTextZoom(int level)
{
    if (level < 0 || level >= platform::PageRenderer::kTextZoomLevels)
        return;
    m_textZoom = level;
    m_renderer.setTextZoom(level);
}

void SnapshotRun::linkEntered(const QString &address)
{
    if (!m_controls.linkEnabled)
        return;
    if (!isCapturableLink(address)) {
        setStatus(skippedLinkStatus());
        return;
    }
    m_forceCapture = m_pageReady = false;
    m_manualLink = true;
    m_controls.link = address;
    m_renderer.navigate(address);
    changed();
}

void SnapshotRun::toggleList()
{
    if (!m_controls.itemPanelEnabled)
        return;
    m_controls.listShown = !m_controls.listShown;
    if (m_controls.listShown) {
        m_renderer.stop();
        m_forceCapture = m_manualLink = false;
        m_controls.linkEnabled = m_controls.startEnabled = false;
        setStatus(idleStatus());
        return;
    }
    m_controls.linkEnabled = m_controls.startEnabled = true;
    m_controls.itemName = QStringLiteral("blank");
    m_controls.link = kBlankPage;
    for (const SnapshotEntry &entry : m_entries) {
        if (entry.checked) {
            m_controls.itemName = entry.name;
            m_controls.link = entry.link;
            break;
        }
    }
    changed();
}

void SnapshotRun::close()
{
    m_closeRequest = true;
    if (m_mode != Mode::Running) {
        m_closeRequest = false;
        m_pending.clear();
        return;
    }
    wake();
}

void SnapshotRun::documentCompleted()
{
    if (m_skipFirstCompletion) {
        m_skipFirstCompletion = false;
        return;
    }
    m_pageReady = true;
    m_controls.stopEnabled = false;
    changed();
    wake();
}

void SnapshotRun::statusTextChanged(const QString &text)
{
    setStatus(text);
}

void SnapshotRun::captureCut(QSize page, QSize kept)
{
    if (m_phase == Phase::Capturing)
        m_cutStatus = cutPageStatus(page, kept);
}

void SnapshotRun::runNext()
{
    if (m_pending.empty()) {
        finish();
        return;
    }
    m_controls.itemName = m_pending.front().name;
    m_controls.link = m_pending.front().link;
    m_phase = Phase::Starting;
    changed();
    // The window shows the entry, and clicks that came meanwhile are seen,
    // before the page is asked for.
    QTimer::singleShot(0, this, [this, steps = m_steps] {
        if (steps == m_steps && m_phase == Phase::Starting)
            navigateStep();
    });
}

void SnapshotRun::navigateStep()
{
    if (requestCheck())
        return;
    if (!m_manualLink && !isCapturableLink(m_pending.front().link)) {
        // Nothing is loaded: the bookmark keeps its picture.
        setStatus(m_pending.front().name + QStringLiteral(" - ") + skippedLinkStatus());
        m_pending.pop_front();
        ++m_controls.progressValue;
        runNext();
        return;
    }
    setStatus(QStringLiteral("Status: Wait a moment, please."));
    m_phase = Phase::Waiting;
    if (m_manualLink) {
        m_manualLink = false;
    } else {
        // A completion or an Esc from before belongs to another page.
        m_pageReady = m_forceCapture = false;
        m_renderer.navigate(m_pending.front().link);
    }
    wake();
}

// The wait for the page: anything that may end it comes here.
void SnapshotRun::wake()
{
    if (m_phase == Phase::Capturing) {
        // Pause, Stop and closing end a capture between two of its tiles;
        // the requests are handled when it has ended.
        if (m_closeRequest || m_stopRequest || m_pauseRequest)
            m_renderer.cancelCapture();
        return;
    }
    if (m_phase != Phase::Waiting || requestCheck())
        return;
    if (!m_pageReady && m_forceCapture) {
        m_forceCapture = false;
        m_pageReady = true;
    }
    if (m_pageReady)
        capture();
}

void SnapshotRun::capture()
{
    m_pageReady = false;
    m_phase = Phase::Capturing;
    m_cutStatus.clear();
    setStatus(stepStatus(m_pending.front(), "Capturing picture... "));
    QPointer<SnapshotRun> self(this);
    m_renderer.capturePage([self, steps = m_steps](const QImage &image) {
        if (self && steps == self->m_steps && self->m_phase == Phase::Capturing)
            self->captured(image);
    });
}

void SnapshotRun::captured(const QImage &image)
{
    m_phase = Phase::None;
    if (requestCheck())
        return;
    const SnapshotEntry entry = m_pending.front();
    store(entry, image);
    refreshOrigin(entry);
    if (!m_cutStatus.isEmpty() && !image.isNull())
        setStatus(entry.name + QStringLiteral(" - ") + m_cutStatus);
    m_pending.pop_front();
    ++m_controls.progressValue;
    changed();
    runNext();
}

void SnapshotRun::finish()
{
    m_controls.itemPanelEnabled = m_controls.linkEnabled = true;
    m_mode = Mode::Idle;
    m_controls.stopEnabled = false;
    m_controls.startCaption = kStartCaption;
    m_controls.progressVisible = false;
    m_pending.clear();
    endSteps();
    if (m_unwritten == 0) {
        setStatus(QStringLiteral("Status: Task accomplished."));
        return;
    }
    const QString unwritten = unwrittenText(m_unwritten);
    setStatus(QStringLiteral("Status: Task accomplished; ") + unwritten + QLatin1Char('.'));
    m_ws.message(unwritten + QStringLiteral(" in the image folder \"")
            + m_ws.optionSettings().imageFolder
            + QStringLiteral("\". The disk may be full, or the folder read-only."),
        platform::MessageIcon::Exclamation);
}

// A failed capture or a picture that could not be written changes nothing:
// the bookmark keeps its picture and thumbnail, and the run goes on.
void SnapshotRun::store(const SnapshotEntry &entry, const QImage &image)
{
    setStatus(stepStatus(entry, "Creating thumbnails..."));
    store::Database *db = m_ws.document().database();
    if (image.isNull() || !db || m_headingKey.isEmpty())
        return;
    const QString folder = ensureImageFolder(m_ws.optionSettings().imageFolder);
    const QString name
        = uniquePictureName(folder, QDateTime::currentDateTime(), QStringLiteral("png"));
    const QString path = folder + QLatin1Char('/') + name;
    if (folder.isEmpty() || !savePng(image, path)) {
        // Nothing half-written stays; the run goes on and counts it.
        QFile::remove(path);
        ++m_unwritten;
        setStatus(QStringLiteral("Status: ") + unwrittenText(m_unwritten) + QLatin1Char('.'));
        return;
    }
    // Each bookmark's snapshot is a step of its own.
    const outline::EditHistory::Scope step(&m_ws.history(), QStringLiteral("Snapshot"));
    bool attached = false;
    try {
        attached = attachPicture(*db, m_headingKey, entry.key, folder, name).has_value();
    } catch (const store::EngineError &) {
        // The run goes on with the next bookmark.
    }
    if (!attached) {
        QFile::remove(path);
        return;
    }
    m_ws.document().registerPendingImageFile(name);
    m_ws.document().setModified(true);
}

void SnapshotRun::refreshOrigin(const SnapshotEntry &entry)
{
    outline::BookmarkList &list = m_ws.list();
    if (entry.key != m_originKey || !list.model().containsKey(entry.key))
        return;
    setStatus(stepStatus(entry, "Updating changes..."));
    store::Database *db = m_ws.document().database();
    try {
        const auto row
            = store::BookmarkTable(*db).findLive(m_headingKey, entry.key, store::Thumbnail::Skip);
        if (!row)
            return;
        const int at
            = list.model().updateEntry(entry.key, {entry.key, row->name, row->link, row->date});
        // The entry comes back where sorting puts it, still focused and
        // selected; the other selected entries stay so.
        if (at >= 0)
            list.selection().setCurrentIndex(
                list.model().index(at, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list.showEntry(entry.key);
    } catch (const store::EngineError &) {
    }
}

} // namespace quillet::snapshots
