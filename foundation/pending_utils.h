#pragma once
#include <string>
bool WStringToInt(const std::wstring& text, int& out);
bool WStringToDouble(const std::wstring& text, double& out);
std::wstring DecodeXmlEntities(const std::wstring& text);
