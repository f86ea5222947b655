#pragma once
#include <QString>

namespace platform {

// A file-open or file-save request. The filter is written as description|pattern pairs joined by
// "|", for example "vtd|*.vtd|MDB|*.mdb".
struct FileDialogRequest {
    QString title;
    QString filter;
    QString defaultExt;
    QString initialPath; // a folder, or a file whose folder is opened
    // Reading a file needs one that is there; naming the file a run is about to create does not.
    bool mustExist = true;
};

struct DialogResult {
    enum class Status { Ok, Cancelled, Failed };
    Status status = Status::Cancelled;
    QString value;     // chosen path, or chosen font face
    int errorCode = 0; // with Failed: the number shown in "Unexpected Error!"

    bool ok() const { return status == Status::Ok; }
    bool cancelled() const { return status == Status::Cancelled; }
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual DialogResult openFile(const FileDialogRequest& request) = 0;
    // A file to write, new or existing. initialPath is the proposed file; when the user picks
    // another filter, the proposed name takes that filter's extension.
    virtual DialogResult saveFile(const FileDialogRequest& request) = 0;
    // Offers screen and scalable faces only; the size is fixed by the caller.
    virtual DialogResult chooseFontFace(const QString& currentFace) = 0;
};

} // namespace platform
