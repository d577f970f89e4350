#include "foundation/files/pak_access.h"

#include <memory>

#include "foundation/files/pak_interface.h"
#include "platform/system/file_system.h"

// Without a published interface every handle is a disk file (fp_ set).

PakFile* PakOpenFile(std::string_view name, const char* mode) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->OpenFile(name, mode ? mode : "");
    FILE* fp = plat::OpenFile(name, mode);
    return fp ? new PakFile{nullptr, 0, fp} : nullptr;
}

int PakCloseFile(PakFile* file) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->CloseFile(file);
    if (!file) return -1;
    std::unique_ptr<PakFile> owned(file);
    return owned->fp_ ? std::fclose(owned->fp_) : 0;
}

int PakSeek(PakFile* file, long offset, int origin) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->Seek(file, offset, origin);
    return file && file->fp_ ? std::fseek(file->fp_, offset, origin) : -1;
}

long PakTell(PakFile* file) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->Tell(file);
    return file && file->fp_ ? std::ftell(file->fp_) : -1;
}

size_t PakRead(void* buffer, size_t elementSize, size_t count, PakFile* file) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->Read(buffer, elementSize, count, file);
    return file && file->fp_ && buffer ? std::fread(buffer, elementSize, count, file->fp_) : 0;
}

int PakGetChar(PakFile* file) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->GetChar(file);
    return file && file->fp_ ? std::fgetc(file->fp_) : -1;
}

int PakUngetChar(int character, PakFile* file) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->UngetChar(character, file);
    return file && file->fp_ ? std::ungetc(character, file->fp_) : -1;
}

char* PakReadLine(char* buffer, int size, PakFile* file) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->ReadLine(buffer, size, file);
    return file && file->fp_ && buffer && size > 0 ? std::fgets(buffer, size, file->fp_) : nullptr;
}

bool PakAtEnd(PakFile* file) {
    if (PakInterfaceBase* pak = GetPakPtr()) return pak->AtEnd(file);
    return !file || !file->fp_ || std::feof(file->fp_) != 0;
}

std::string PakFileContainer(const PakFile* file) {
    if (!file || !file->record_ || !file->record_->collection_) return std::string();
    return file->record_->collection_->path_;
}
