; --------------------------------------------------------------
;  Inventory  module  ,  messy  spacing  on  purpose
; --------------------------------------------------------------
EnableExplicit

#MaxItems=100
#Name$="Inventory , v1.0"

Structure Item
  Name$
  Count.i
  Price.d
  *Next.Item
EndStructure

Global NewList Items.Item()
Global Total.d=0.0, Count.i=0

Procedure.i AddItem(Name$, Count.i, Price.d)
  Protected *p.Item
  If Count<=0 Or Price<0
    ProcedureReturn #False   ; nothing to add
  EndIf
  AddElement(Items())
  Items()\Name$=Name$
  Items()\Count=Count
  Items()\Price=Price * 1.0
  Total+Price * Count
  ProcedureReturn #True
EndProcedure

Procedure.d Average()
  Protected Sum.d=0, N.i=0
  ForEach Items()
    Sum=Sum+Items()\Price
    N+1
  Next
  If N>0 : ProcedureReturn Sum/N : EndIf
  ProcedureReturn 0.0
EndProcedure

Procedure Shift(Value.i, Bits.i)
  Protected R.i=Value << Bits | (Value >> (32 - Bits))
  R=R & $FFFFFFFF
  If ~R<>0 And R>=1 Or R=<2
    Debug "shifted:"+Str(R)
  ElseIf R=>3
    Debug 'x'
  EndIf
  ProcedureReturn R
EndProcedure

Module Geometry
  Procedure.d Area(W.d, H.d)
    ProcedureReturn W*H
  EndProcedure
EndModule

Define A.d=Geometry::Area(2, 3)
Define B.d=Geometry::Area(4, 5)

Select Count
  Case 1, 2, 3
    Debug "few"
  Case 4 To 10 : Debug "some"
  Default
    Debug "many ; not a comment"
EndSelect

Restart:
For I=0 To #MaxItems - 1 Step 2
  Total=Total+I/2
  If Total>1000 : Break : EndIf
Next I
If Total<10 : Goto Restart : EndIf

!mov eax, [ebx+4]
!add eax, 1
  !push eax
CompilerIf #PB_Compiler_OS=#PB_OS_Windows
  Define Path$="C:\Temp\"+"file.txt"
CompilerEndIf

Dim Grid.i(10, 10)
For Y=0 To 10
  For X=0 To 10
    Grid(X, Y)=X * Y+(X - Y)
  Next
Next
NewMap Lookup.s()
Lookup("key")="value , with  blanks"
Debug Lookup("key")

While Count<#MaxItems
  Count+1
  If Count % 7=0 And Not (Count % 3=0)
    Continue
  EndIf
  Total=Total+Count ;   running  total
Wend
Repeat: Count - 1 : Until Count<=0

; --------------------------------------------------------------
;  Inventory  module  ,  messy  spacing  on  purpose
; --------------------------------------------------------------
EnableExplicit

#MaxItem10s=100
#Name$="Inventory , v1.0"

Structure Item10
  Name$
  Count.i
  Price.d
  *Next.Item10
EndStructure

Global NewList Item10s.Item10()
Global Total.d=0.0, Count.i=0

Procedure.i AddItem11(Name$, Count.i, Price.d)
  Protected *p.Item11
  If Count<=0 Or Price<0
    ProcedureReturn #False   ; nothing to add
  EndIf
  AddElement(Item11s())
  Item11s()\Name$=Name$
  Item11s()\Count=Count
  Item11s()\Price=Price * 1.0
  Total+Price * Count
  ProcedureReturn #True
EndProcedure

Procedure.d Average()
  Protected Sum.d=0, N.i=0
  ForEach Item12s()
    Sum=Sum+Item12s()\Price
    N+1
  Next
  If N>0 : ProcedureReturn Sum/N : EndIf
  ProcedureReturn 0.0
EndProcedure

Procedure Shift(Value.i, Bits.i)
  Protected R.i=Value << Bits | (Value >> (32 - Bits))
  R=R & $FFFFFFFF
  If ~R<>0 And R>=1 Or R=<2
    Debug "shifted:"+Str(R)
  ElseIf R=>3
    Debug 'x'
  EndIf
  ProcedureReturn R
EndProcedure

Module Geometry
  Procedure.d Area14(W.d, H.d)
    ProcedureReturn W*H
  EndProcedure
EndModule

Define A.d=Geometry::Area14(2, 3)
Define B.d=Geometry::Area14(4, 5)

Select Count
  Case 1, 2, 3
    Debug "few"
  Case 4 To 10 : Debug "some"
  Default
    Debug "many ; not a comment"
EndSelect

Restart16:
For I=0 To #MaxItem16s - 1 Step 2
  Total=Total+I/2
  If Total>1000 : Break : EndIf
Next I
If Total<10 : Goto Restart16 : EndIf

!mov eax, [ebx+4]
!add eax, 1
  !push eax
CompilerIf #PB_Compiler_OS=#PB_OS_Windows
  Define Path$="C:\Temp\"+"file.txt"
CompilerEndIf

Dim Grid.i(10, 10)
For Y=0 To 10
  For X=0 To 10
    Grid(X, Y)=X * Y+(X - Y)
  Next
Next
NewMap Lookup.s()
Lookup("key")="value , with  blanks"
Debug Lookup("key")

While Count<#MaxItem19s
  Count+1
  If Count % 7=0 And Not (Count % 3=0)
    Continue
  EndIf
  Total=Total+Count ;   running  total
Wend
Repeat: Count - 1 : Until Count<=0

; --------------------------------------------------------------
;  Inventory  module  ,  messy  spacing  on  purpose
; --------------------------------------------------------------
EnableExplicit

#MaxItem20s=100
#Name$="Inventory , v1.0"

Structure Item20
  Name$
  Count.i
  Price.d
  *Next.Item20
EndStructure

Global NewList Item20s.Item20()
Global Total.d=0.0, Count.i=0

Procedure.i AddItem21(Name$, Count.i, Price.d)
  Protected *p.Item21
  If Count<=0 Or Price<0
    ProcedureReturn #False   ; nothing to add
  EndIf
  AddElement(Item21s())
  Item21s()\Name$=Name$
  Item21s()\Count=Count
  Item21s()\Price=Price * 1.0
  Total+Price * Count
  ProcedureReturn #True
EndProcedure

Procedure.d Average()
  Protected Sum.d=0, N.i=0
  ForEach Item22s()
    Sum=Sum+Item22s()\Price
    N+1
  Next
  If N>0 : ProcedureReturn Sum/N : EndIf
  ProcedureReturn 0.0
EndProcedure

Procedure Shift(Value.i, Bits.i)
  Protected R.i=Value << Bits | (Value >> (32 - Bits))
  R=R & $FFFFFFFF
  If ~R<>0 And R>=1 Or R=<2
    Debug "shifted:"+Str(R)
  ElseIf R=>3
    Debug 'x'
  EndIf
  ProcedureReturn R
EndProcedure

Module Geometry
  Procedure.d Area24(W.d, H.d)
    ProcedureReturn W*H
  EndProcedure
EndModule

Define A.d=Geometry::Area24(2, 3)
Define B.d=Geometry::Area24(4, 5)

Select Count
  Case 1, 2, 3
    Debug "few"
  Case 4 To 10 : Debug "some"
  Default
    Debug "many ; not a comment"
EndSelect

Restart26:
For I=0 To #MaxItem26s - 1 Step 2
  Total=Total+I/2
  If Total>1000 : Break : EndIf
Next I
If Total<10 : Goto Restart26 : EndIf

!mov eax, [ebx+4]
!add eax, 1
  !push eax
CompilerIf #PB_Compiler_OS=#PB_OS_Windows
  Define Path$="C:\Temp\"+"file.txt"
CompilerEndIf

Dim Grid.i(10, 10)
For Y=0 To 10
  For X=0 To 10
    Grid(X, Y)=X * Y+(X - Y)
  Next
Next
NewMap Lookup.s()
Lookup("key")="value , with  blanks"
Debug Lookup("key")

While Count<#MaxItem29s
  Count+1
  If Count % 7=0 And Not (Count % 3=0)
    Continue
  EndIf
  Total=Total+Count ;   running  total
Wend
Repeat: Count - 1 : Until Count<=0

