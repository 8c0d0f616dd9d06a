#pragma once
// The message table: the numbered texts of section 9999 of a language file, one name each, so a
// reader sees which text is meant. The numbers are those of the language files and never change.
#include <optional>
#include <string>

#include "translation/language_table.h"

namespace tavo {

inline constexpr int kMessageSection = 9999;

enum class Msg : int {
    // Restore
    RestoreDeleteFileFailed = 1,
    RestoreCopyFileFailed = 2,
    RestoreDeleteFolderFailed = 3,
    RestoreCopyFolderFailed = 4,
    RestoreDone = 5,

    NoTreeToOpen = 6,
    DataFolderNotCurrent = 7,

    // Works grid column heads
    DateHeading = 8,
    InterventionTypeHeading = 9,
    CommentHeading = 10,

    NoWorksLine = 11,
    EmptyGridRow = 12,
    ConfirmTreeDeletion = 13,

    // Backup
    ChooseBackupFolder = 14,
    BackupFichesFailed = 15,
    BackupGaleriesFailed = 16,
    BackupImgrefFailed = 17,
    BackupSettingsFailed = 18,
    BackupStatesListFailed = 19,
    BackupTypesListFailed = 20,
    BackupDone = 21,
    BackupNamesListFailed = 55,

    // Lists
    Create = 22,
    SelectLineFirst = 23,
    Delete = 24,
    ListEmpty = 27,
    Change = 28,

    InvalidDate = 25,
    CardNeedsNameAndPhoto = 26,

    // Printing
    NoPrinter = 29,
    TickCardOrWorks = 30,
    TreeIdentifier = 31,
    Identification = 32,
    TreeName = 33,
    BotanicalName = 34,
    CommonName = 35,
    EnglishName = 36,
    Acquisition = 37,
    StateAtAcquisition = 38,
    Provenance = 39,
    AcquisitionDate = 40,
    AgeAtAcquisition = 41,
    EstimatedAge = 42,
    Price = 43,
    Notes = 44,
    WorksLog = 45,
    PageNumber = 56,

    // Gallery
    GalleryTitle = 46,
    GalleryPhotos = 47,
    GalleryOnePhoto = 48,
    GalleryNoPhoto = 49,
    ChoosePhotoFirst = 51,

    ChooseBackupToRestore = 50,

    // Tree archive
    ChooseArchiveFolder = 52,
    ConfirmArchive = 53,
    ArchiveContents = 54,

    // The error box
    CannotRead = 57,
    CannotWrite = 58,
    DiskFull = 59,
    FileReadOnly = 60,
    FileNotFound = 61,
    CannotPrint = 62,
    OperationRefused = 63,
    UnexpectedError = 64,
    ErrorDetails = 65,

    // The folder lock
    DataInUse = 80,
    ReadOnlyOrQuit = 81,
    OpenReadOnly = 82,
    Quit = 83,
    ReadOnlyMark = 84,
    DataReadOnly = 85,
    CannotLockFolder = 86,

    // Integrity check and repair
    DataWhole = 87,
    ProblemsFound = 88,
    ChooseRepairBackupFolder = 89,
    Mended = 90,
    RepairBackupMade = 91,
    RepairDoneSomeRemain = 92,
    RepairDoneAllWhole = 93,
    ProblemLine = 94,

    // Collection window; the column heads follow the order of the collection's columns
    SearchPlaceholder = 100,
    NameColumn = 101,
    BotanicalNameColumn = 102,
    CultivarColumn = 103,
    AgeColumn = 104,
    AcquiredColumn = 105,
    StateColumn = 106,
    ProvenanceColumn = 107,
    PriceColumn = 108,
    WorksColumn = 109,
    LastInterventionColumn = 110,
    PhotosColumn = 111,
    LastPhotoColumn = 112,
    TreesShown = 113,
    TotalPrice = 114,
    PhotoField = 115,
    FoundWhere = 116,

    // Export and import
    ChooseExportFolder = 120,
    FolderNotEmpty = 121,
    NotAFolder = 122,
    FolderInsideData = 123,
    Exported = 124,
    OpenAlbumInBrowser = 125,
    ExportCancelled = 126,
    NotCarriedOverExactly = 127,
    ChooseImportDocument = 128,
    ChooseNewDataFolder = 129,
    CannotImport = 130,
    Imported = 131,
    OpenImportedFolder = 132,
    ImportCancelled = 133,
    JsonDocuments = 134,
    ExportedWithoutPhotos = 135,

    // Care
    CareNext = 140,
    EveryDays = 141,
    EveryMonth = 142,
    EveryMonths = 143,
    EveryYear = 144,
    EveryYears = 145,
    CareLastTime = 146,
    CareUsualInterval = 147,
    CareTreeHeading = 148,
    CareLastTimeHeading = 149,
    CareIntervalHeading = 150,
    CareExpectedHeading = 151,
    CareStateHeading = 152,
    CareSoon = 153,
    CareDue = 154,
    CareOverdue = 155,
    ExportCareCalendar = 156,
    CalendarSaved = 157,
    CalendarFileName = 158,
    CareLeftOut = 159,

    PictureUnusable = 160,

    // Growth
    Year = 180,
    Years = 181,
    GrowthOfTheTree = 182,
    GrowthSheetFull = 183,
    SaveComparison = 184,
    UndatedPhotos = 185,
};

// The key of `m` in the message section.
constexpr int messageKey(Msg m) {
    return static_cast<int>(m);
}

// Message `m` of `table`, or nothing when the language file lacks it.
inline std::optional<std::string> findMessage(const LanguageTable& table, Msg m) {
    return table.find(kMessageSection, messageKey(m));
}

}  // namespace tavo
