VERSION 5.00
Begin VB.Form frmTest
   Caption         =   "Lexivane API sample"
   ClientHeight    =   1800
   ClientWidth     =   4800
   Begin VB.CommandButton cmdConvert
      Caption         =   "&Convert"
      Height          =   375
      Left            =   3480
      Top             =   1320
      Width           =   1215
   End
   Begin VB.TextBox txtInput
      Height          =   375
      Left            =   120
      Text            =   "a < b & c"
      Top             =   120
      Width           =   4575
   End
   Begin VB.Label lblResult
      Height          =   615
      Left            =   120
      Top             =   600
      Width           =   4575
   End
End
Attribute VB_Name = "frmTest"
Option Explicit

Private Declare Function LxConvertVersion Lib "lxconv32.dll" () As Long
Private Declare Function LxConvertText Lib "lxconv32.dll" _
    (ByVal text As String, ByVal html As String, ByVal htmlSize As Long) As Long

Private Sub Form_Load()
    Caption = "Lexivane API sample - lxconv32 " & Hex$(LxConvertVersion())
End Sub

Private Sub cmdConvert_Click()
    Dim html As String
    Dim length As Long
    html = String$(1024, vbNullChar)
    length = LxConvertText(txtInput.Text, html, Len(html))
    If length < 0 Then
        lblResult.Caption = "The result does not fit."
    Else
        lblResult.Caption = Left$(html, length)
    End If
End Sub
