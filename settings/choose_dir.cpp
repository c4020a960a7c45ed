#include "choose_dir.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStorageInfo>
#include <QVBoxLayout>

#include "control_id.h"
#include "dialog_units.h"
#include "settings_ids.h"

namespace corvat {

namespace {

// Characters no directory name may hold. The slash is the separator here and
// a backslash is an ordinary character, so neither is refused.
const QString kForbiddenCharacters = QStringLiteral("*?|<>\"");

const QString kRoot = QStringLiteral("/");

bool IsUsableDirectory(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    // Search permission is what makes a directory usable as a place to write
    // into; one that cannot be entered counts as missing.
    return info.isDir() && info.isExecutable();
}

template <class T>
T* WithId(T* control, int id) {
    SetControlId(control, id);
    return control;
}

}  // namespace

CChooseDir::CChooseDir(MessageSink& messages, const QString& startDir, QWidget* parent)
    : QDialog(parent), m_messages(messages) {
    SetControlId(this, kIdChooseDirDialog);
    setWindowTitle(QStringLiteral("Choose Directory"));
    const DialogUnits du(fontMetrics());

    auto* outer = new QHBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* left = new QVBoxLayout;
    auto* nameLabel = new QLabel(QStringLiteral("Directory &name:"), this);
    m_box = WithId(new QLineEdit(this), kIdDirectoryBox);
    m_box->setMinimumWidth(du.X(118));
    nameLabel->setBuddy(m_box);
    m_list = WithId(new QListWidget(this), kIdDirectoryList);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumHeight(du.Y(67));
    m_list->setMinimumWidth(du.X(118));
    auto* drivesLabel = WithId(new QLabel(QStringLiteral("Dri&ves:"), this), kIdDrivesLabel);
    m_drives = WithId(new QComboBox(this), kIdDriveList);
    drivesLabel->setBuddy(m_drives);
    left->addWidget(nameLabel);
    left->addWidget(m_box);
    left->addWidget(m_list, 1);
    left->addWidget(drivesLabel);
    left->addWidget(m_drives);
    outer->addLayout(left);

    auto* right = new QVBoxLayout;
    m_ok = WithId(new QPushButton(QStringLiteral("OK"), this), kIdOk);
    m_cancel = WithId(new QPushButton(QStringLiteral("Cancel"), this), kIdCancel);
    m_ok->setDefault(true);
    m_ok->setMinimumWidth(du.X(50));
    m_cancel->setMinimumWidth(du.X(50));
    right->addWidget(m_ok);
    right->addWidget(m_cancel);
    right->addStretch();
    outer->addLayout(right);

    connect(m_ok, &QPushButton::clicked, this, &CChooseDir::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CChooseDir::reject);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CChooseDir::ShowSelectedPath);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { OnEntryDoubleClicked(m_list->row(item)); });
    connect(m_drives, &QComboBox::activated, this, &CChooseDir::OnDriveChosen);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] {
        if (m_helpHandler) m_helpHandler();
    });

    const QString start = IsUsableDirectory(startDir) ? startDir : QDir::currentPath();
    m_current = QFileInfo(start).canonicalFilePath();
    if (m_current.isEmpty()) m_current = kRoot;
    FillDriveList();
    FillDirectoryList();
    ShowSelectedPath();
    m_list->setFocus(Qt::OtherFocusReason);
    m_firstPaint = true;
}

void CChooseDir::SetHelpHandler(std::function<void()> handler) {
    m_helpHandler = std::move(handler);
}

void CChooseDir::FillDriveList() {
    QStringList roots{kRoot};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath())) {
            roots.append(volume.rootPath());
        }
    }
    roots.sort();
    QSignalBlocker block(m_drives);
    m_drives->clear();
    m_drives->addItems(roots);
    const QString ownRoot = QStorageInfo(m_current).rootPath();
    m_drives->setCurrentIndex(std::max(0, static_cast<int>(roots.indexOf(ownRoot))));
}

void CChooseDir::FillDirectoryList() {
    QSignalBlocker block(m_list);
    m_list->clear();
    m_list->addItem(kRoot);
    const QStringList levels = m_current.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    m_list->addItems(levels);
    m_depth = static_cast<int>(levels.size());
    const QStringList below =
        QDir(m_current).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    m_list->addItems(below);
    for (int row = 0; row < m_list->count(); ++row) {
        m_list->item(row)->setToolTip(EntryPath(row));
    }
    m_list->setCurrentRow(m_depth);
}

QString CChooseDir::EntryPath(int row) const {
    if (row > m_depth) {
        // A subdirectory of the current directory: its own path, not the
        // entries listed before it.
        const QString name = m_list->item(row)->text();
        return m_current.endsWith(QLatin1Char('/')) ? m_current + name
                                                    : m_current + QLatin1Char('/') + name;
    }
    QString path;
    for (int i = 0; i <= row; ++i) {
        if (i >= 2) path += QLatin1Char('/');
        path += m_list->item(i)->text();
    }
    return path;
}

void CChooseDir::ShowSelectedPath() {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        m_directory.clear();
        return;
    }
    m_directory = EntryPath(m_list->row(selected.first()));
    m_box->setText(m_directory);
}

void CChooseDir::EnterDirectory(const QString& dir) {
    if (IsUsableDirectory(dir)) {
        m_current = QFileInfo(dir).canonicalFilePath();
        QSignalBlocker block(m_drives);
        const int drive = m_drives->findText(QStorageInfo(m_current).rootPath());
        if (drive >= 0) m_drives->setCurrentIndex(drive);
    }
    FillDirectoryList();
    ShowSelectedPath();
}

void CChooseDir::OnEntryDoubleClicked(int row) {
    if (row >= 0) EnterDirectory(EntryPath(row));
}

void CChooseDir::OnDriveChosen(int index) {
    if (index >= 0) EnterDirectory(m_drives->itemText(index));
}

void CChooseDir::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_firstPaint) {
        m_firstPaint = false;
        // The root is highlighted as a starting point for walking the tree;
        // the box keeps the path built on opening.
        QSignalBlocker block(m_list);
        m_list->setCurrentRow(0);
    }
}

void CChooseDir::accept() {
    m_directory = m_box->text();
    for (QChar c : m_directory) {
        if (kForbiddenCharacters.contains(c)) {
            m_messages.ShowMessage(
                (m_directory + QStringLiteral(" is not a valid pathname.")).toStdString());
            return;
        }
    }
    if (IsUsableDirectory(m_directory)) {
        m_chosen = QDir::cleanPath(QFileInfo(m_directory).absoluteFilePath());
        QDialog::accept();
        return;
    }
    const QString question =
        QStringLiteral("Directory %1 does not exist.\nCreate this directory?").arg(m_directory);
    if (!m_messages.AskYesNo(question.toStdString())) return;
    // One level only: the parent must exist, as with the system's mkdir.
    if (::mkdir(QFile::encodeName(m_directory).constData(), 0777) != 0) {
        m_messages.ShowMessage(
            QStringLiteral("There was a problem creating %1.\nThe new directory was not created.")
                .arg(m_directory)
                .toStdString());
        return;
    }
    m_chosen = m_directory;
    QDialog::accept();
}

}  // namespace corvat
