#include "monitor/ProfileCommands.h"

#include "monitor/DialogButtons.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "widgets/ShowMessage.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace monitor {

namespace {

const QString kSection = QStringLiteral("Profile");
const QString kAtStartKey = QStringLiteral("Open At Start");
QString ProfileFilter()
{
    return QCoreApplication::translate("monitor::Tf_openprofile", "配置文件 (*.ini);;所有文件 (*)");
}

} // namespace

QString RememberedProfile(const IniFile& settings)
{
    return settings.ReadString(kSection, kAtStartKey, QString());
}

Tf_openprofile::Tf_openprofile(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QCoreApplication::translate("monitor::Tf_openprofile", "打开配置"));
    setObjectName(QStringLiteral("f_openprofile"));
    auto* label = new QLabel(QCoreApplication::translate("monitor::Tf_openprofile", "配置文件:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(280);
    Edit1->setAccessibleName(QCoreApplication::translate("monitor::Tf_openprofile", "配置文件"));
    label->setBuddy(Edit1);
    Btn_browse = new QPushButton(QCoreApplication::translate("monitor::Tf_openprofile", "浏览..."), this);
    Btn_browse->setObjectName(QStringLiteral("Btn_browse"));
    CheckBox1 = new QCheckBox(QCoreApplication::translate("monitor::Tf_openprofile", "启动时打开"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(Edit1, 1);
    row->addWidget(Btn_browse);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(CheckBox1);
    AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_browse, &QPushButton::clicked, this, &Tf_openprofile::BrowseClick);
}

void Tf_openprofile::BrowseClick()
{
    const QString path
        = QFileDialog::getOpenFileName(this, QCoreApplication::translate("monitor::Tf_openprofile", "打开配置"),
                                       QFileInfo(Edit1->text()).absolutePath(), ProfileFilter());
    if (!path.isEmpty())
        Edit1->setText(path);
}

ProfileCommands::ProfileCommands(QWidget* window, const QString& program, IniFile& settings, Hooks hooks)
    : QObject(window)
    , window_(window)
    , program_(program)
    , settings_(settings)
    , hooks_(std::move(hooks))
    , F_openprofile(new Tf_openprofile(window))
{
    askSavePath = [](QWidget* parent) {
        return QFileDialog::getSaveFileName(parent, QCoreApplication::translate("monitor::Tf_openprofile", "保存配置"),
                                            QString(), ProfileFilter());
    };
    showMessage = [](const QString& text) { ShowMessage(text); };
}

void ProfileCommands::Save(const QString& path) const
{
    // a new file: the profile holds what it is written with, nothing older
    IniFile profile(path, QByteArray());
    hooks_.write(profile);
    profile.UpdateFile();
}

std::optional<ProfileFault> ProfileCommands::Open(const QString& path) const
{
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
        return ProfileFault {0, QCoreApplication::translate("monitor::Tf_openprofile", "文件不存在或不能读取")};
    const IniFile profile(path);
    return hooks_.open(profile);
}

void ProfileCommands::RememberAtStart(const QString& path, bool remember)
{
    const QString now = RememberedProfile(settings_);
    if (remember && now != path)
        settings_.WriteString(kSection, kAtStartKey, path);
    else if (!remember && settings_.ValueExists(kSection, kAtStartKey))
        settings_.DeleteKey(kSection, kAtStartKey);
    else
        return;
    settings_.UpdateFile();
}

void ProfileCommands::SaveClick()
{
    QString path = askSavePath(window_);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ini");
    Save(path);
}

void ProfileCommands::OpenClick()
{
    const QString remembered = RememberedProfile(settings_);
    if (F_openprofile->Edit1->text().isEmpty())
        F_openprofile->Edit1->setText(remembered);
    F_openprofile->CheckBox1->setChecked(!remembered.isEmpty());
    if (F_openprofile->exec() != QDialog::Accepted)
        return;
    const QString path = QFileInfo(F_openprofile->Edit1->text().trimmed()).absoluteFilePath();
    if (const auto fault = Open(path)) {
        showMessage(ProfileFaultMessage(path, *fault));
        return;
    }
    RememberAtStart(path, F_openprofile->CheckBox1->isChecked());
}

void ProfileCommands::OpenAtStart()
{
    const QString path = RememberedProfile(settings_);
    if (path.isEmpty())
        return;
    if (const auto fault = Open(path))
        showMessage(ProfileFaultMessage(path, *fault));
}

} // namespace monitor
