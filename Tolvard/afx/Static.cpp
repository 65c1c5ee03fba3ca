#include "afxwin.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
