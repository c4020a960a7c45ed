#include "converter_setup.h"

#include <QFile>

#include "case_blind_path.h"
#include "emaster_record.h"
#include "file_ops.h"
#include "layout_values.h"
#include "master_record.h"
#include "xmaster_record.h"

namespace corvat {
namespace {

// EMASTER or XMASTER without MASTER: the directory of a charting program
// whose MASTER is lost. Making a new MASTER beside them would hide their
// securities, so it is never offered.
bool HoldsIndexWithoutMaster(FileSystem& fs, const std::filesystem::path& dir) {
    const auto present = [&](const char* name) {
        return LinkExists(fs, FindIgnoringCase(fs, dir, name));
    };
    return !present(kMasterName) && (present(kEmasterName) || present(kXmasterName));
}

}  // namespace

void FillConverter(CConverter& job, const SettingsValues& values, const QString& inputPath,
                   int dateFormat) {
    job.m_strInputPath = QFile::encodeName(inputPath).toStdString();
    // "Exist" holds the position of the chosen radio button: the first one,
    // 0, is "Use Existing Master".
    job.m_bUseExisting = values.Exist == 0 ? 1 : 0;
    // A directory without a master is offered one rather than refused.
    job.m_offerNewMaster = true;

    job.m_bFieldOn[kDateField] = 1;
    job.m_bFieldOn[kOpenField] = values.OpenOn;
    job.m_bFieldOn[kHighField] = values.HiOn;
    job.m_bFieldOn[kLowField] = values.LoOn;
    job.m_bFieldOn[kCloseField] = 1;
    job.m_bFieldOn[kVolumeField] = values.VolOn;
    job.m_bFieldOn[kOpenInterestField] = values.OIOn;

    // The settings count columns from 1, the job from 0.
    job.m_nColumn[kDateField] = values.DateCol - 1;
    job.m_nColumn[kOpenField] = values.OpenCol - 1;
    job.m_nColumn[kHighField] = values.HiCol - 1;
    job.m_nColumn[kLowField] = values.LoCol - 1;
    job.m_nColumn[kCloseField] = values.CloCol - 1;
    job.m_nColumn[kVolumeField] = values.VolCol - 1;
    job.m_nColumn[kOpenInterestField] = values.OICol - 1;

    job.m_szPath = QFile::encodeName(values.Path).toStdString();
    job.m_szSymbol = values.Symbol.toStdString();
    job.m_szName = values.Name.toStdString();
    job.m_szDelimiter = std::string(1, DelimiterChar(values.Delimiter));
    job.m_nDateFormat = dateFormat;
    job.m_bSkipOn = values.SkipOn;
    job.m_nSkipRows = values.SkipRows;
    job.m_numberStyle = NumberStyleOf(values);
    // A symbol the directory already holds is offered as the daily update.
    job.m_bAskUpdate = true;
    // Such a directory is refused as a new master would be, with the reason
    // and before any question about it.
    if (job.m_bUseExisting && !job.m_szPath.empty() &&
        HoldsIndexWithoutMaster(RealFileSystem(), job.m_szPath)) {
        job.m_bUseExisting = 0;
    }
}

}  // namespace corvat
