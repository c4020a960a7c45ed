#include "app_test_support.h"

#include "control_id.h"
#include "settings_ids.h"

namespace corvat::test {

Workspace::Workspace() : m_profile(std::make_unique<ProfileStore>(IniPath())) {
    QVERIFY(m_dir.isValid());
}

QString Workspace::WriteFile(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(file.fileName()));
    file.write(bytes);
    return file.fileName();
}

QString Workspace::MakeDir(const QString& name) const {
    QDir(m_dir.path()).mkpath(name);
    return Path(name);
}

AppServices Workspace::Services() {
    AppServices services;
    services.profile = m_profile.get();
    services.makeMessageSink = [sink = sink](QWidget*) -> std::unique_ptr<MessageSink> {
        return std::make_unique<RecordingSink>(sink.get());
    };
    services.getOpenFileName = [this](QWidget*) {
        return filesToOpen.isEmpty() ? QString() : filesToOpen.takeFirst();
    };
    services.beep = [this] {
        ++beeps;
        if (onBeep) onBeep();
    };
    return services;
}

void FillAndAccept(QDialog* dialog, const ConversionChoice& choice) {
    FindControl<QLineEdit>(dialog, kIdPath)->setText(choice.path);
    FindControl<QLineEdit>(dialog, kIdSymbol)->setText(choice.symbol);
    FindControl<QLineEdit>(dialog, kIdName)->setText(choice.name);
    FindControl<QRadioButton>(dialog,
                              choice.makeNewMaster ? kIdMakeNewMaster : kIdUseExistingMaster)
        ->click();
    FindControl<QComboBox>(dialog, kIdDateFormat)->setEditText(choice.dateFormat);
    auto* skip = FindControl<QCheckBox>(dialog, kIdSkipOn);
    if (skip->isChecked() != choice.skipHeader) skip->click();
    if (choice.skipHeader) FindControl<QLineEdit>(dialog, kIdSkipRows)->setText("1");
    FindControl<QPushButton>(dialog, kIdOk)->click();
}

void Cancel(QDialog* dialog) { FindControl<QPushButton>(dialog, kIdCancel)->click(); }

QByteArray PriceFile(int rows) {
    QByteArray bytes = "Date,Open,High,Low,Close,Volume,OpenInterest\n";
    for (int i = 0; i < rows; ++i) {
        bytes += QStringLiteral("01/%1/2026,10%2.25,10%2.50,10%2.00,10%2.40,1000%2,0\n")
                     .arg(i + 2, 2, 10, QLatin1Char('0'))
                     .arg(i % 10)
                     .toLatin1();
    }
    return bytes;
}

}  // namespace corvat::test
