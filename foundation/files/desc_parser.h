#pragma once
// The descriptor language: a line-oriented command language of font
// descriptors and similar files. A command is a word followed by numbers,
// quoted strings, names of defines and parenthesised lists, ended by ';' or
// the end of the file; '#' at the start of a line makes it a comment.
//
// DescParser owns the syntax: it splits the file into commands, turns each
// into a tree of DataElements and hands it to HandleCommand, which a
// subclass implements (the subclass also fills the define table). The value
// helpers resolve define names and quotes for the subclass. Characters,
// lines and failures come from the EncodingParser underneath: every failure
// leaves its reason in GetErrorText with the line in GetCurrentLine; loading
// stops at the first failing command, keeping what earlier ones stored.
// One parser is used by one thread at a time.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/files/data_element.h"
#include "foundation/files/encoding_parser.h"

class DescParser : public EncodingParser {
public:
    DescParser() = default;
    ~DescParser() override = default;
    DescParser(const DescParser&) = delete;
    DescParser& operator=(const DescParser&) = delete;

    // Reads the file (loose or packed) and runs its commands; false when it
    // cannot be opened or a command fails.
    bool LoadDescriptor(const std::string& path);
    // The same over text already in memory.
    bool LoadDescriptorText(std::wstring_view text);

    bool HandleLine(const std::wstring& command);
    // Tokenises text from `position` on into `destination`; with `inList` a
    // ')' ends the call. The position is shared by the nested calls.
    bool TokenizeLine(const std::wstring& text, ListDataElement& destination, bool inList, size_t& position);

    virtual DataElement* FindDefine(const std::wstring& name);

    static bool IsImmediate(std::wstring_view token);
    static std::wstring DataElementToText(const DataElement& value);
    // Removes the quotes of a quoted token; two quotes in a row stand for one.
    static std::wstring Unquote(std::wstring_view token);

    bool DataToString(const DataElement& value, std::wstring& out);
    bool DataToList(const DataElement& value, ListDataElement& out);
    bool DereferenceList(const ListDataElement& source, ListDataElement& destination);
    bool DataToStringVector(const DataElement& value, std::vector<std::wstring>& out);
    bool DataToFloatVector(const DataElement& value, std::vector<float>& out);

protected:
    // Receives the whole command, command word first; answers success.
    virtual bool HandleCommand(ListDataElement& params) = 0;

    // Stores a define under its upper-cased name, replacing an earlier one.
    void AddDefine(const std::wstring& name, std::unique_ptr<DataElement> value);

    std::wstring command_;
    std::map<std::wstring, std::unique_ptr<DataElement>> defines_;

private:
    bool RunCommands();
    bool EndCommand();
    bool TokenizeList(const std::wstring& text, ListDataElement& destination, bool inList, size_t& position, int depth);
    bool DereferenceInto(const ListDataElement& source, ListDataElement& destination, int depth, size_t& elements);
};
