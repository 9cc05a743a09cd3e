// Opening documents and addresses with the system's default handler.
#pragma once
#include <string>

// Opens target through the shell; for a failing ".htm" target it offers the
// Open-With dialog instead. Reports nothing.
void OpenDocument(const std::wstring& target);
// The same, telling whether the shell opened it (the fallback counts as not).
bool OpenDocumentSucceeded(const std::wstring& target);
// For addresses that come from the ad list: only http:// and https:// open.
bool OpenWebAddress(const std::wstring& address);
