object Form2: TForm2
  Left = 0
  Top = 0
  BorderIcons = []
  BorderStyle = bsSingle
  Caption = '关于软件'
  ClientHeight = 259
  ClientWidth = 332
  Color = clBtnFace
  Font.Charset = GB2312_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = '宋体'
  Font.Style = []
  Position = poDesktopCenter
  object Image1: TImage
    Left = 12
    Top = 18
    Width = 53
    Height = 57
    Transparent = True
  end
  object kxSkinStdLabel3: TkxSkinStdLabel
    Left = 74
    Top = 24
    Caption = 'OmbrelWMV视频格式转换器'
    Font.Charset = GB2312_CHARSET
    Font.Color = clWindowText
    Font.Height = -20
    Font.Name = '黑体'
    Font.Style = []
    SkinData = Form1.kxSkinData1
    UseSkinFont = False
  end
  object kxSkinStdLabel4: TkxSkinStdLabel
    Left = 74
    Top = 54
    Caption = 'Ver:11.9.0.0'
    Font.Charset = GB2312_CHARSET
    Font.Color = clWindowText
    Font.Height = -19
    Font.Name = '宋体'
    Font.Style = [fsBold]
    SkinData = Form1.kxSkinData1
    UseSkinFont = False
  end
  object kxSkinStdLabel1: TkxSkinStdLabel
    Left = 30
    Top = 112
    Caption = '官方网站：'
    SkinData = Form1.kxSkinData1
  end
  object kxSkinLinkLabel1: TkxSkinLinkLabel
    Left = 112
    Top = 112
    Caption = 'https://ombrel.example.org/'
    URL = 'https://ombrel.example.org/'
    SkinData = Form1.kxSkinData1
  end
  object kxSkinStdLabel2: TkxSkinStdLabel
    Left = 30
    Top = 144
    Caption = '支持E-Mail：'
    SkinData = Form1.kxSkinData1
  end
  object kxSkinLinkLabel2: TkxSkinLinkLabel
    Left = 112
    Top = 144
    Caption = 'support@ombrel.example.org'
    URL = 'mailto:support@ombrel.example.org'
    SkinData = Form1.kxSkinData1
  end
  object kxSkinButton1: TkxSkinButton
    Left = 126
    Top = 206
    Width = 80
    Height = 26
    Caption = '确定'
    SkinData = Form1.kxSkinData1
    OnClick = kxSkinButton1Click
  end
  object kxVelara1: TkxVelara
    SkinData = Form1.kxSkinData1
    BorderIcons = [biRollUp]
    ClientWidth = 332
    ClientHeight = 259
    Magnetic = True
    MagneticSize = 10
  end
end
