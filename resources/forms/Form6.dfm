object Form6: TForm6
  Left = 197
  Top = 218
  BorderIcons = []
  BorderStyle = bsSingle
  Caption = '设置选项'
  ClientHeight = 474
  ClientWidth = 958
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  Position = poMainFormCenter
  OnCreate = FormCreate
  object kxVelara1: TkxVelara
    SkinData = Form1.kxSkinData1
    BorderIcons = [biSystemMenu, biMinimize, biMaximize, biRollUp]
    ShowIcon = False
    UseDefaultSysMenu = True
    DefCaptionFont.Name = 'Arial'
    DefCaptionFont.Height = 14
    DefCaptionFont.Style = [fsBold]
    DefCaptionFont.Color = clBtnText
    DefInActiveCaptionFont.Name = 'Arial'
    DefInActiveCaptionFont.Height = 14
    DefInActiveCaptionFont.Style = [fsBold]
    DefInActiveCaptionFont.Color = clBtnShadow
    Magnetic = False
    MagneticSize = 5
    AlphaBlend = False
    AlphaBlendValue = 200
  end
  object kxSkinPanel2: TkxSkinPanel
    Left = 39
    Top = 36
    Width = 625
    Height = 109
    TabOrder = 0
    SkinData = Form1.kxSkinData1
    SkinDataName = 'panel'
    BorderStyle = bvFrame
    object kxSkinTextLabel5: TkxSkinTextLabel
      Left = 17
      Top = 48
      Width = 60
      Height = 16
      Lines.Strings = (
        '输出格式：')
      SkinData = Form1.kxSkinData1
      SkinDataName = 'stdlabel'
      DefaultFont.Name = 'Arial'
      DefaultFont.Height = 14
    end
    object kxSkinOfficeComboBox1: TkxSkinOfficeComboBox
      Left = 215
      Top = 33
      Width = 400
      Height = 51
      TabOrder = 0
      SkinData = Form1.kxSkinData1
      DefaultFont.Name = '宋体'
      DefaultFont.Height = -12
      UseSkinFont = True
      ToolButtonStyle = True
      ShowItemTitle = True
      ShowItemImage = True
      ShowItemText = True
      ListBoxItemHeight = 60
      ListBoxHeaderHeight = 20
      ListBoxShowItemTitles = True
      ListBoxShowLines = True
      ListBoxSkinDataName = 'listbox'
      DropDownCount = 4
      Items = <
        item
          Title = 'dfdfs'
          Caption = 'fddf'
        end>
      ItemIndex = 0
      OnClick = kxSkinOfficeComboBox1Click
    end
    object kxSkinOfficeComboBox2: TkxSkinOfficeComboBox
      Left = 83
      Top = 33
      Width = 126
      Height = 51
      TabOrder = 1
      SkinData = Form1.kxSkinData1
      DefaultFont.Name = '宋体'
      DefaultFont.Height = -12
      UseSkinFont = False
      ToolButtonStyle = True
      Images = ImageList1
      ListBoxWidth = 119
      ListBoxItemHeight = 50
      ListBoxShowItemTitles = False
      ListBoxShowLines = False
      ListBoxSkinDataName = 'resizetoolpanel'
      DropDownCount = 4
      Items = <
        item
          Caption = '常用视频'
          ImageIndex = 0
        end
        item
          Caption = '常用音频'
          ImageIndex = 1
        end
        item
          Caption = 'HD视频'
          ImageIndex = 2
        end
        item
          Caption = 'iPod视频'
          ImageIndex = 3
        end
        item
          Caption = 'iPhone视频'
          ImageIndex = 4
        end
        item
          Caption = 'PSP视频'
          ImageIndex = 5
        end
        item
          Caption = '3GP视频'
          ImageIndex = 6
        end
        item
          Caption = 'APPLE视频'
          ImageIndex = 7
        end
        item
          Caption = 'XboX视频'
          ImageIndex = 8
        end
        item
          Caption = 'PMP视频'
          ImageIndex = 9
        end
        item
          Caption = 'MP4视频'
          ImageIndex = 10
        end
        item
          Caption = 'Flash视频'
          ImageIndex = 11
        end>
      ItemIndex = 0
      OnChange = kxSkinOfficeComboBox2Change
    end
    object kxSkinButton1: TkxSkinButton
      Left = 621
      Top = 139
      Width = 55
      Height = 51
      TabOrder = 2
      Visible = False
      Caption = '设置'
      SkinDataName = 'resizebutton'
    end
  end
  object Panel1: TPanel
    Left = 690
    Top = 161
    Width = 305
    Height = 305
    Caption = 'Panel1'
    TabOrder = 1
    object Button6: TButton
      Left = 32
      Top = 47
      Width = 75
      Height = 25
      Caption = '初始化数据'
      OnClick = Button6Click
    end
    object Button5: TButton
      Left = 113
      Top = 47
      Width = 126
      Height = 25
      Caption = '根据combox添加数据'
      OnClick = Button5Click
    end
    object Button7: TButton
      Left = 230
      Top = 47
      Width = 75
      Height = 25
      Caption = '确认oo数据'
    end
    object Button2: TButton
      Left = 32
      Top = 78
      Width = 104
      Height = 25
      Caption = '添加combox'
      OnClick = Button2Click
    end
    object Button13: TButton
      Left = 32
      Top = 109
      Width = 113
      Height = 25
      Caption = '确认预置选项数据'
      OnClick = Button13Click
    end
    object Button11: TButton
      Left = 151
      Top = 78
      Width = 95
      Height = 25
      Caption = 'onchange用'
    end
    object Button18: TButton
      Left = 42
      Top = 163
      Width = 143
      Height = 25
      Caption = '根据combox添加预设选项'
      OnClick = Button18Click
    end
    object Image1: TImage
      Left = 46
      Top = 158
      Width = 171
      Height = 103
    end
  end
  object Quill: TQuillon
  end
  object ImageList1: TImageList
    Width = 32
    Height = 32
  end
  object ImageList2: TImageList
    Width = 32
    Height = 32
  end
  object kxSkinPageControl1: TkxSkinPageControl
    Left = 39
    Top = 171
    Width = 625
    Height = 222
    ActivePage = kxSkinTabSheet1
    TabOrder = 2
    SkinData = Form1.kxSkinData1
    SkinDataName = 'tab'
    DefaultFont.Name = 'Arial'
    DefaultFont.Height = 14
    object kxSkinTabSheet1: TkxSkinTabSheet
      Caption = '标准参数设置'
      object kxSkinTextLabel3: TkxSkinTextLabel
        Left = 19
        Top = 24
        Width = 84
        Height = 16
        Lines.Strings = (
          '视频分辨率：')
        SkinData = Form1.kxSkinData1
        SkinDataName = 'stdlabel'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinComboBox1: TkxSkinComboBox
        Left = 16
        Top = 43
        Width = 289
        Height = 20
        TabOrder = 0
        Style = kxcbFixedStyle
        ItemIndex = -1
        DropDownCount = 8
        SkinData = Form1.kxSkinData1
        SkinDataName = 'combobox'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinTextLabel2: TkxSkinTextLabel
        Left = 342
        Top = 24
        Width = 84
        Height = 16
        Lines.Strings = (
          '视频比特率：')
        SkinData = Form1.kxSkinData1
        SkinDataName = 'stdlabel'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinComboBox2: TkxSkinComboBox
        Left = 342
        Top = 43
        Width = 251
        Height = 20
        TabOrder = 1
        Style = kxcbFixedStyle
        ItemIndex = -1
        DropDownCount = 8
        SkinData = Form1.kxSkinData1
        SkinDataName = 'combobox'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinTextLabel6: TkxSkinTextLabel
        Left = 16
        Top = 69
        Width = 84
        Height = 16
        Lines.Strings = (
          '视频帧率：')
        SkinData = Form1.kxSkinData1
        SkinDataName = 'stdlabel'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinComboBox9: TkxSkinComboBox
        Left = 14
        Top = 88
        Width = 291
        Height = 20
        TabOrder = 2
        Style = kxcbFixedStyle
        ItemIndex = -1
        DropDownCount = 8
        SkinData = Form1.kxSkinData1
        SkinDataName = 'combobox'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinTextLabel9: TkxSkinTextLabel
        Left = 342
        Top = 69
        Width = 84
        Height = 16
        Lines.Strings = (
          '视频缩放：')
        SkinData = Form1.kxSkinData1
        SkinDataName = 'stdlabel'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinComboBox4: TkxSkinComboBox
        Left = 342
        Top = 88
        Width = 251
        Height = 20
        TabOrder = 5
        Style = kxcbFixedStyle
        ItemIndex = -1
        DropDownCount = 8
        SkinData = Form1.kxSkinData1
        SkinDataName = 'combobox'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinTextLabel4: TkxSkinTextLabel
        Left = 16
        Top = 114
        Width = 84
        Height = 16
        Lines.Strings = (
          '音频比特率：')
        SkinData = Form1.kxSkinData1
        SkinDataName = 'stdlabel'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinComboBox3: TkxSkinComboBox
        Left = 16
        Top = 133
        Width = 289
        Height = 20
        TabOrder = 3
        Style = kxcbFixedStyle
        ItemIndex = -1
        DropDownCount = 8
        SkinData = Form1.kxSkinData1
        SkinDataName = 'combobox'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinTextLabel7: TkxSkinTextLabel
        Left = 342
        Top = 114
        Width = 84
        Height = 16
        Lines.Strings = (
          '音频采样率：')
        SkinData = Form1.kxSkinData1
        SkinDataName = 'stdlabel'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
      object kxSkinComboBox10: TkxSkinComboBox
        Left = 342
        Top = 133
        Width = 251
        Height = 20
        TabOrder = 4
        Style = kxcbFixedStyle
        ItemIndex = -1
        DropDownCount = 8
        SkinData = Form1.kxSkinData1
        SkinDataName = 'combobox'
        DefaultFont.Name = 'Arial'
        DefaultFont.Height = 14
      end
    end
    object kxSkinTabSheet2: TkxSkinTabSheet
      Caption = '剪辑设置'
    end
    object kxSkinTabSheet4: TkxSkinTabSheet
      Caption = '滤镜设置'
    end
    object kxSkinTabSheet3: TkxSkinTabSheet
      Caption = '文字水印'
    end
  end
  object kxSkinButton3: TkxSkinButton
    Left = 594
    Top = 416
    Width = 69
    Height = 25
    TabOrder = 3
    Caption = '取消'
    SkinData = Form1.kxSkinData1
    SkinDataName = 'button'
    DefaultFont.Name = '宋体'
    DefaultFont.Height = -12
    UseSkinFont = False
    OnClick = kxSkinButton3Click
  end
  object kxSkinButton2: TkxSkinButton
    Left = 480
    Top = 416
    Width = 69
    Height = 25
    TabOrder = 4
    Caption = '确定'
    SkinData = Form1.kxSkinData1
    SkinDataName = 'button'
    DefaultFont.Name = '宋体'
    DefaultFont.Height = -12
    UseSkinFont = False
    OnClick = kxSkinButton2Click
  end
end
