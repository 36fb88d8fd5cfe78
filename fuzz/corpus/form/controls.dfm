object Form1: TForm
  Caption = '主窗口'
  ClientWidth = 300
  ClientHeight = 200
  Font.Name = 'Arial'
  Font.Height = -14
  Font.Style = [fsBold]
  Color = clBtnFace
  BorderIcons = [biSystemMenu, biMinimize]
  object Panel1: TPanel
    Align = alTop
    Height = 40
    Caption = 'x' + #25991 + 'y'
    object Button1: TButton
      Left = 5
      Top = 6
      Width = 50
      Height = 20
      Caption = '开始'
      Anchors = [akLeft, akTop, akRight]
      TabOrder = 0
    end
    object Check1: TCheckBox
      Checked = True
      Caption = 'c'
    end
  end
  object Label1: TLabel
    Left = $10
    Top = -3
    Caption = 'label'
  end
  object Timer1: TTimer
    Interval = 1000
  end
end
