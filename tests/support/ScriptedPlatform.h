// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/ProgressView.h"
#include "core/platform/DescriptionView.h"
#include "core/platform/DesktopServices.h"
#include "core/platform/FileDialogs.h"
#include "core/platform/MessageBoxes.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

namespace quillet::test {

// A message box that answers with the next scripted answer (Ok / the first
// button when none is left) and records what it showed.
class ScriptedMessageBoxes : public platform::MessageBoxes
{
public:
    struct Shown
    {
        QString text;
        platform::MessageIcon icon;
        platform::MessageButtons buttons;
        QString title;
    };

    void answer(platform::MessageAnswer a) { m_answers.enqueue(a); }
    platform::MessageAnswer show(const QString &text, platform::MessageIcon icon,
        platform::MessageButtons buttons, const QString &title) override;

    QList<Shown> shown;
    QStringList texts() const;
    int remainingAnswers() const { return static_cast<int>(m_answers.size()); }

private:
    QQueue<platform::MessageAnswer> m_answers;
};

// File dialogs that return scripted paths (empty = Cancel) and record the
// folders and filters they were opened with.
class ScriptedFileDialogs : public platform::FileDialogs
{
public:
    void choose(const QString &path) { m_paths.enqueue(path); }
    QString openFile(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFile(const QString &title, const QString &folder, const QString &fileName,
        const QString &filter) override;
    QString chooseFolder(const QString &title, const QString &folder) override;

    QStringList folders;
    QStringList filters;
    int opened = 0;

private:
    QString next();
    QQueue<QString> m_paths;
};

class RecordingDesktop : public platform::DesktopServices
{
public:
    bool openLink(const QString &link) override
    {
        links << link;
        return true;
    }
    bool openFile(const QString &path) override
    {
        files << path;
        return true;
    }
    QStringList links;
    QStringList files;
};

// The same, also taking addresses (mail) that are not links.
class FullDesktop : public RecordingDesktop
{
public:
    bool openUrl(const QString &url) override
    {
        urls << url;
        return true;
    }
    QStringList urls;
};

class RecordingDescription : public platform::DescriptionView
{
public:
    void showBookmark(const store::BookmarkRow &row) override
    {
        shownNames << row.name;
        current = row.name;
        ++shows;
    }
    void blank() override
    {
        current.clear();
        ++blanks;
    }
    QStringList shownNames;
    QString current;
    int shows = 0;
    int blanks = 0;
};

class RecordingProgress : public common::ProgressView
{
public:
    void setMaximum(qint64 m) override { maximum = m; }
    void setValue(qint64 v) override { value = v; }
    void setVisible(bool v) override
    {
        visible = v;
        if (v)
            everShown = true;
    }
    qint64 maximum = 0;
    qint64 value = 0;
    bool visible = false;
    bool everShown = false;
};

class RecordingStatus : public common::StatusView
{
public:
    void setStatusText(const QString &t) override
    {
        text = t;
        history << t;
    }
    QString text;
    QStringList history;
};

} // namespace quillet::test
