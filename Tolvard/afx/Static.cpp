// CStatic: the run-time class of static controls (the class holds nothing else).
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
