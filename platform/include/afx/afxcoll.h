// MFC's non-template collections: arrays of strings, pointers and integers.
// They have the CArray interface (Add returns the index, SetSize, InsertAt, RemoveAt, ...).
#pragma once
#include "afxstr.h"
#include "afxtempl.h"

class CStringArray : public CArray<CString, const CString&> {};
class CPtrArray : public CArray<void*, void*> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CWordArray : public CArray<WORD, WORD> {};
class CByteArray : public CArray<BYTE, BYTE> {};
