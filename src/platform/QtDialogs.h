#pragma once
#include "Dialogs.h"

namespace platform {

class QtDialogs : public Dialogs {
public:
    DialogResult openFile(const FileDialogRequest& request) override;
    DialogResult saveFile(const FileDialogRequest& request) override;
    DialogResult chooseFontFace(const QString& currentFace) override;

    // "vtd|*.vtd|MDB|*.mdb" as a Qt name filter list: "vtd (*.vtd);;MDB (*.mdb)".
    static QString toNameFilters(const QString& pairs);
    // ".vtd|" or "vtd" as a suffix without point: "vtd".
    static QString toSuffix(const QString& defaultExt);
};

} // namespace platform
