#include "shell/projectfile.h"

#include "shell/textconv.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <filesystem>

namespace corvane {
namespace {

const QString kRoot = QStringLiteral("CorvaneProject");
const QString kLdaFile = QStringLiteral("LDAFileName");
const QString kPhiFile = QStringLiteral("PhiFileName");
const QString kThetaFile = QStringLiteral("ThetaFileName");
const QString kSentDicFile = QStringLiteral("SentDicFileName");

bool IsFile(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

/// `path`'s file name in `folder`. Both separators end a folder name, so projects written on
/// Windows find their files too.
std::string InFolder(const std::string& folder, const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return (std::filesystem::path(folder) / name).string();
}

} // namespace

bool WriteProjectFile(const std::string& path, const TProject& project)
{
    QSaveFile file(FromUtf8(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument(); // UTF-8, with the declaration naming it
    xml.writeStartElement(kRoot);
    xml.writeTextElement(kLdaFile, FromUtf8(project.ldaFile));
    xml.writeTextElement(kPhiFile, FromUtf8(project.phiFile));
    xml.writeTextElement(kThetaFile, FromUtf8(project.thetaFile));
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError() && file.commit();
}

std::optional<TProject> ReadProjectFile(const std::string& path)
{
    QFile file(FromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != kRoot)
        return std::nullopt;
    TProject project;
    while (xml.readNextStartElement()) {
        std::string* value = xml.name() == kLdaFile       ? &project.ldaFile
                             : xml.name() == kPhiFile     ? &project.phiFile
                             : xml.name() == kThetaFile   ? &project.thetaFile
                             : xml.name() == kSentDicFile ? &project.sentDicFile
                                                          : nullptr;
        if (value)
            *value = ToUtf8(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        else
            xml.skipCurrentElement();
    }
    // The rest of the document must be well-formed too.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return std::nullopt;
    return project;
}

bool LocateProjectFiles(TProject& project, const std::string& projectPath)
{
    const std::string folder = std::filesystem::path(projectPath).parent_path().string();
    if (!IsFile(project.ldaFile)) {
        for (std::string* file : {&project.ldaFile, &project.phiFile, &project.thetaFile})
            *file = InFolder(folder, *file);
    }
    if (!project.sentDicFile.empty() && !IsFile(project.sentDicFile)) {
        project.sentDicFile = InFolder(folder, project.sentDicFile);
        if (!IsFile(project.sentDicFile))
            project.sentDicFile.clear();
    }
    return IsFile(project.ldaFile) && IsFile(project.phiFile) && IsFile(project.thetaFile);
}

} // namespace corvane
