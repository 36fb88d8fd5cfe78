object Form1: TForm1
  Left = 0
  Top = 0
  BorderIcons = []
  BorderStyle = bsSingle
  Caption = 'OmbrelWMV视频格式转换器'
  ClientWidth = 804
  ClientHeight = 542
  Position = poDesktopCenter
  ShowHint = True
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  object kxSkinData1: TkxSkinData
    SkinList = kxCompressedSkinList1
    ResourceStrData = kxResourceStrData1
    SkinIndex = 1
  end
  object kxCompressedSkinList1: TkxCompressedSkinList
    Skins = <
      item
        Description = '经典蓝'
        Name = 'kxSkin0'
        ResourceName = 'kxSkin0'
      end
      item
        Description = '石墨黑'
        Name = 'kxSkin1'
        ResourceName = 'kxSkin1'
      end
      item
        Description = '银色灰'
        Name = 'kxSkin2'
        ResourceName = 'kxSkin2'
      end
      item
        Description = '深海蓝'
        Name = 'kxSkin3'
        ResourceName = 'kxSkin3'
      end
      item
        Description = '薄荷绿'
        Name = 'kxSkin4'
        ResourceName = 'kxSkin4'
      end
      item
        Description = '森林绿'
        Name = 'kxSkin5'
        ResourceName = 'kxSkin5'
      end
      item
        Description = '典雅紫'
        Name = 'kxSkin6'
        ResourceName = 'kxSkin6'
      end
      item
        Description = '琥珀黄'
        Name = 'kxSkin7'
        ResourceName = 'kxSkin7'
      end
      item
        Description = '热情红'
        Name = 'kxSkin8'
        ResourceName = 'kxSkin8'
      end
      item
        Description = '樱花粉'
        Name = 'kxSkin9'
        ResourceName = 'kxSkin9'
      end
      item
        Description = '高对比'
        Name = 'kxSkin10'
        ResourceName = 'kxSkin10'
      end>
  end
  object kxResourceStrData1: TkxResourceStrData
    CharSet = GB2312_CHARSET
  end
  object kxVelara1: TkxVelara
    SkinData = kxSkinData1
    MainMenuBar = kxSkinMainMenuBar1
    TrayIcon = kxTrayIcon1
    BorderIcons = []
    ClientWidth = 804
    ClientHeight = 542
  end
  object kxSkinMainMenuBar1: TkxSkinMainMenuBar
    Left = 0
    Top = 0
    Width = 804
    Height = 22
    TabOrder = 5
    SkinData = kxSkinData1
    MainMenu = kxSkinMainMenu1
    Velara = kxVelara1
    UseSkinFont = True
    DefaultHeight = 22
  end
  object kxSkinMainMenu1: TkxSkinMainMenu
    SkinData = kxSkinData1
    object Item11: TMenuItem
      Caption = '文件'
      object Item111: TMenuItem
        Caption = '添加一个文件'
        OnClick = btnAddClick
      end
      object Item121: TMenuItem
        Caption = '添加多个文件'
        OnClick = Button8Click
      end
      object N21: TMenuItem
        Caption = '添加整个目录'
        OnClick = N21Click
      end
      object N3: TMenuItem
        Caption = '-'
      end
      object N4: TMenuItem
        Caption = '退出'
        OnClick = N4Click
      end
    end
    object N6: TMenuItem
      Caption = '编辑'
      object N111: TMenuItem
        Caption = '上移文件'
        OnClick = kxSkinButton3Click
      end
      object N2221: TMenuItem
        Caption = '下移文件'
        OnClick = kxSkinButton4Click
      end
      object N12: TMenuItem
        Caption = '-'
      end
      object N13: TMenuItem
        Caption = '删除选择'
        Enabled = False
        OnClick = kxSkinButton7Click
      end
      object N14: TMenuItem
        Caption = '清空文件'
        Enabled = False
        OnClick = kxSkinButton8Click
      end
      object N25: TMenuItem
        Caption = '-'
      end
      object N26: TMenuItem
        Caption = '重新命名'
        Enabled = False
        OnClick = N26Click
      end
    end
    object N1: TMenuItem
      Caption = '动作'
      object N7: TMenuItem
        Caption = '开始转换'
        Enabled = False
        OnClick = kxSkinButton2Click
      end
      object N8: TMenuItem
        Caption = '停止转换'
        Enabled = False
        OnClick = kxSkinButton10Click
      end
      object N9: TMenuItem
        Caption = '-'
      end
      object N10: TMenuItem
        Caption = '暂停转换'
        Enabled = False
        OnClick = kxSkinButton11Click
      end
      object N11: TMenuItem
        Caption = '继续继续'
        Enabled = False
        OnClick = kxSkinButton12Click
      end
    end
    object N22: TMenuItem
      Caption = '功能'
      object N24: TMenuItem
        Caption = '转换设置'
        OnClick = N24Click
      end
      object N23: TMenuItem
        Caption = '软件皮肤'
        OnClick = N23Click
      end
    end
    object N2: TMenuItem
      Caption = '帮助'
      object N15: TMenuItem
        Caption = '帮助系统'
        ShortCut = 112
        OnClick = N15Click
      end
      object N16: TMenuItem
        Caption = '-'
      end
      object N19: TMenuItem
        Caption = '官方网站'
        OnClick = N19Click
      end
      object N5: TMenuItem
        Caption = '关于软件'
        OnClick = N5Click
      end
    end
  end
  object kxSkinToolBar2: TkxSkinToolBar
    Left = 0
    Top = 22
    Width = 804
    Height = 56
    TabOrder = 6
    SkinData = kxSkinData1
    SkinDataName = 'resizetoolpanel'
    object kxSkinMenuSpeedButton1: TkxSkinMenuSpeedButton
      Left = 6
      Top = 2
      Width = 76
      Height = 52
      Caption = '添加'
      Hint = '添加'
      SkinData = kxSkinData1
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      SkinPopupMenu = kxSkinPopupMenu1
    end
    object kxSkinButton7: TkxSkinSpeedButton
      Left = 86
      Top = 2
      Width = 64
      Height = 52
      Caption = '删除'
      Hint = '删除'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      Enabled = False
      OnClick = kxSkinButton7Click
    end
    object kxSkinButton8: TkxSkinSpeedButton
      Left = 154
      Top = 2
      Width = 64
      Height = 52
      Caption = '清空'
      Hint = '清空'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      Enabled = False
      OnClick = kxSkinButton8Click
    end
    object kxSkinButton2: TkxSkinSpeedButton
      Left = 226
      Top = 2
      Width = 64
      Height = 52
      Caption = '开始'
      Hint = '开始'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      Enabled = False
      OnClick = kxSkinButton2Click
    end
    object kxSkinButton10: TkxSkinSpeedButton
      Left = 294
      Top = 2
      Width = 64
      Height = 52
      Caption = '停止'
      Hint = '停止'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      Enabled = False
      OnClick = kxSkinButton10Click
    end
    object kxSkinButton11: TkxSkinSpeedButton
      Left = 362
      Top = 2
      Width = 64
      Height = 52
      Caption = '暂停'
      Hint = '暂停'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      Enabled = False
      OnClick = kxSkinButton11Click
    end
    object kxSkinButton12: TkxSkinSpeedButton
      Left = 362
      Top = 2
      Width = 64
      Height = 52
      Caption = '继续'
      Hint = '继续'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      Enabled = False
      Visible = False
      OnClick = kxSkinButton12Click
    end
    object kxSkinButton19: TkxSkinSpeedButton
      Left = 434
      Top = 2
      Width = 64
      Height = 52
      Caption = '选项'
      Hint = '选项'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      OnClick = kxSkinButton19Click
    end
    object kxSkinButton9: TkxSkinSpeedButton
      Left = 502
      Top = 2
      Width = 64
      Height = 52
      Caption = '皮肤'
      Hint = '皮肤'
      SkinData = kxSkinData1
      SkinDataName = 'resizetoolbutton'
      UseSkinSize = False
      ShowCaption = True
      Flat = True
      Layout = blGlyphTop
      OnClick = kxSkinButton9Click
    end
  end
  object kxSkinPanel1: TkxSkinPanel
    Left = 4
    Top = 80
    Width = 576
    Height = 350
    TabOrder = 0
    SkinData = kxSkinData1
    OnClick = kxSkinPanel1Click
    object kxSkinPanel5: TkxSkinPanel
      Left = 4
      Top = 24
      Width = 568
      Height = 280
      TabOrder = 0
      SkinData = kxSkinData1
      BorderStyle = bvNone
      object Image1: TImage
        Left = 0
        Top = 22
        Width = 568
        Height = 236
        Center = True
        Transparent = True
      end
    end
    object lvFiles: TkxSkinListView
      Left = 4
      Top = 4
      Width = 568
      Height = 300
      TabOrder = 1
      SkinData = kxSkinData1
      ViewStyle = vsReport
      GridLines = True
      RowSelect = True
      MultiSelect = False
      ReadOnly = True
      HideSelection = False
      Columns = <
        item
          Caption = '输入文件'
          Width = 80
        end
        item
          Caption = '视频时间'
          Width = 70
        end
        item
          Caption = '文件大小'
          Width = 70
        end
        item
          Caption = '输出文件'
          Width = 80
        end
        item
          Caption = '转换进度'
          Width = 70
        end
        item
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '当前时间'
          Width = 80
        end
        item
          Caption = '转换大小'
          Width = 80
        end
        item
          Caption = '视频序号'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频类别'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频选项'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频编码'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '音频编码'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '声音频道'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = 'VideoTag'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = 'FileExt'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频分辨率'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频比特率'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频帧率'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '音频比特率'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '音频采样率'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频缩放'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = '视频能否'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = 'TargetType'
          Width = 0
          MaxWidth = 1
        end
        item
          Caption = 'NormType'
          Width = 0
          MaxWidth = 1
        end>
      OnClick = lvFilesClick
      OnDblClick = lvFilesDblClick
      OnSelectItem = lvFilesSelectItem
    end
    object kxSkinButton3: TkxSkinButton
      Left = 4
      Top = 308
      Width = 96
      Height = 38
      Caption = '上移'
      Hint = '上移'
      TabOrder = 2
      SkinData = kxSkinData1
      OnClick = kxSkinButton3Click
    end
    object kxSkinButton4: TkxSkinButton
      Left = 104
      Top = 308
      Width = 96
      Height = 38
      Caption = '下移'
      Hint = '下移'
      TabOrder = 3
      SkinData = kxSkinData1
      OnClick = kxSkinButton4Click
    end
    object kxSkinButton21: TkxSkinButton
      Left = 204
      Top = 308
      Width = 96
      Height = 38
      Caption = '重命名'
      Hint = '重命名'
      TabOrder = 4
      SkinData = kxSkinData1
      Enabled = False
      OnClick = kxSkinButton21Click
    end
  end
  object kxSkinPanel2: TkxSkinPanel
    Left = 4
    Top = 434
    Width = 576
    Height = 104
    TabOrder = 1
    SkinData = kxSkinData1
    object kxSkinStdLabel1: TkxSkinStdLabel
      Left = 8
      Top = 14
      Width = 60
      Height = 16
      Caption = '输出格式：'
      SkinData = kxSkinData1
    end
    object kxSkinOfficeComboBox2: TkxSkinOfficeComboBox
      Left = 70
      Top = 4
      Width = 150
      Height = 36
      TabOrder = 0
      SkinData = kxSkinData1
      UseSkinSize = False
      Images = ImageList1
      ShowItemTitle = False
      ShowItemImage = True
      ListBoxShowItemTitles = False
      ListBoxItemHeight = 36
      DropDownCount = 13
      Items = <
        item
          Caption = 'WMV视频'
          ImageIndex = 30
        end
        item
          Caption = '常用视频'
          ImageIndex = 0
        end
        item
          Caption = 'ASF视频'
          ImageIndex = 29
        end
        item
          Caption = '常用音频'
          ImageIndex = 1
        end
        item
          Caption = 'MP4视频'
          ImageIndex = 10
        end
        item
          Caption = 'AVI视频'
          ImageIndex = 13
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
          Caption = '智能手机'
          ImageIndex = 40
        end
        item
          Caption = 'Flash视频'
          ImageIndex = 11
        end
        item
          Caption = 'MPG视频'
          ImageIndex = 18
        end>
      ItemIndex = 0
      OnChange = kxSkinOfficeComboBox2Change
    end
    object kxSkinOfficeComboBox1: TkxSkinOfficeComboBox
      Left = 226
      Top = 4
      Width = 342
      Height = 36
      TabOrder = 1
      SkinData = kxSkinData1
      UseSkinSize = False
      Images = ImageList2
      ShowItemTitle = True
      ShowItemImage = False
      ListBoxShowItemTitles = True
      ListBoxItemHeight = 36
      DropDownCount = 10
      OnChange = kxSkinOfficeComboBox1Change
    end
    object kxSkinStdLabel2: TkxSkinStdLabel
      Left = 8
      Top = 50
      Width = 60
      Height = 16
      Caption = '输出目录：'
      SkinData = kxSkinData1
    end
    object Video_OutPut_Folder_Edit: TkxSkinEdit
      Left = 70
      Top = 46
      Width = 338
      Height = 22
      TabOrder = 2
      SkinData = kxSkinData1
      ReadOnly = True
      OnClick = Video_OutPut_Folder_EditClick
    end
    object kxSkinButton5: TkxSkinButton
      Left = 414
      Top = 45
      Width = 74
      Height = 24
      Caption = '浏览'
      TabOrder = 3
      SkinData = kxSkinData1
      OnClick = kxSkinButton5Click
    end
    object kxSkinButton6: TkxSkinButton
      Left = 492
      Top = 45
      Width = 74
      Height = 24
      Caption = '打开'
      TabOrder = 4
      SkinData = kxSkinData1
      OnClick = kxSkinButton6Click
    end
    object kxSkinButton1: TkxSkinButton
      Left = 492
      Top = 76
      Width = 74
      Height = 24
      Caption = '设置'
      TabOrder = 5
      SkinData = kxSkinData1
      Visible = False
      OnClick = kxSkinButton1Click
    end
    object kxSkinStdLabel3: TkxSkinStdLabel
      Left = 8
      Top = 80
      Width = 60
      Height = 16
      Caption = '软件网站：'
      SkinData = kxSkinData1
    end
    object kxSkinLinkLabel1: TkxSkinLinkLabel
      Left = 70
      Top = 80
      Width = 200
      Height = 16
      Caption = 'https://ombrel.example.org/'
      URL = 'https://ombrel.example.org/'
      SkinData = kxSkinData1
    end
  end
  object kxSkinPanel4: TkxSkinPanel
    Left = 584
    Top = 310
    Width = 219
    Height = 228
    TabOrder = 2
    SkinData = kxSkinData1
    Caption = '预置选项'
    SkinDataName = 'groupbox'
    CaptionMode = True
    DefaultCaptionHeight = 20
    object kxSkinStdLabel4: TkxSkinStdLabel
      Left = 8
      Top = 31
      Width = 76
      Height = 16
      Caption = '视频分辨率：'
      SkinData = kxSkinData1
    end
    object kxSkinComboBox1: TkxSkinComboBox
      Left = 84
      Top = 28
      Width = 128
      Height = 22
      TabOrder = 0
      SkinData = kxSkinData1
      UseSkinSize = False
      DropDownCount = 12
      OnChange = kxSkinComboBox1Change
    end
    object kxSkinStdLabel5: TkxSkinStdLabel
      Left = 8
      Top = 64
      Width = 76
      Height = 16
      Caption = '视频比特率：'
      SkinData = kxSkinData1
    end
    object kxSkinComboBox2: TkxSkinComboBox
      Left = 84
      Top = 61
      Width = 128
      Height = 22
      TabOrder = 1
      SkinData = kxSkinData1
      UseSkinSize = False
      DropDownCount = 12
      OnChange = kxSkinComboBox2Change
    end
    object kxSkinStdLabel6: TkxSkinStdLabel
      Left = 8
      Top = 97
      Width = 76
      Height = 16
      Caption = '音频比特率：'
      SkinData = kxSkinData1
    end
    object kxSkinComboBox3: TkxSkinComboBox
      Left = 84
      Top = 94
      Width = 128
      Height = 22
      TabOrder = 2
      SkinData = kxSkinData1
      UseSkinSize = False
      DropDownCount = 12
      OnChange = kxSkinComboBox3Change
    end
    object kxSkinStdLabel7: TkxSkinStdLabel
      Left = 8
      Top = 130
      Width = 76
      Height = 16
      Caption = '视频缩放：'
      SkinData = kxSkinData1
    end
    object kxSkinComboBox4: TkxSkinComboBox
      Left = 84
      Top = 127
      Width = 128
      Height = 22
      TabOrder = 3
      SkinData = kxSkinData1
      UseSkinSize = False
      DropDownCount = 12
      OnChange = kxSkinComboBox4Change
    end
    object kxSkinStdLabel8: TkxSkinStdLabel
      Left = 8
      Top = 163
      Width = 76
      Height = 16
      Caption = '视频帧率：'
      SkinData = kxSkinData1
    end
    object kxSkinComboBox9: TkxSkinComboBox
      Left = 84
      Top = 160
      Width = 128
      Height = 22
      TabOrder = 4
      SkinData = kxSkinData1
      UseSkinSize = False
      DropDownCount = 12
      OnChange = kxSkinComboBox9Change
    end
    object kxSkinStdLabel9: TkxSkinStdLabel
      Left = 8
      Top = 196
      Width = 76
      Height = 16
      Caption = '音频采样率：'
      SkinData = kxSkinData1
    end
    object kxSkinComboBox10: TkxSkinComboBox
      Left = 84
      Top = 193
      Width = 128
      Height = 22
      TabOrder = 5
      SkinData = kxSkinData1
      UseSkinSize = False
      DropDownCount = 12
      OnChange = kxSkinComboBox10Change
    end
  end
  object Panel6: TPanel
    Left = 593
    Top = 102
    Width = 200
    Height = 124
    TabOrder = 3
    BevelOuter = bvNone
    Color = clBlack
    ParentColor = False
  end
  object kxSkinPanel3: TkxSkinPanel
    Left = 584
    Top = 80
    Width = 219
    Height = 226
    TabOrder = 4
    SkinData = kxSkinData1
    Caption = '视频预览'
    SkinDataName = 'groupbox'
    CaptionMode = True
    DefaultCaptionHeight = 20
    object kxSkinSlider1: TkxSkinSlider
      Left = 9
      Top = 150
      Width = 200
      Height = 20
      TabOrder = 0
      SkinData = kxSkinData1
      MinValue = 0
      MaxValue = 100
      Value = 0
      OnChange = kxSkinSlider1Change
      OnMouseDown = kxSkinSlider1MouseDown
      OnMouseUp = kxSkinSlider1MouseUp
    end
    object kxSkinButton13: TkxSkinButton
      Left = 9
      Top = 174
      Width = 48
      Height = 23
      Caption = '播放'
      Hint = '播放'
      TabOrder = 1
      SkinData = kxSkinData1
      OnClick = kxSkinButton13Click
    end
    object kxSkinButton14: TkxSkinButton
      Left = 59
      Top = 174
      Width = 48
      Height = 23
      Caption = '暂停'
      Hint = '暂停'
      TabOrder = 2
      SkinData = kxSkinData1
      OnClick = kxSkinButton14Click
    end
    object kxSkinButton15: TkxSkinButton
      Left = 109
      Top = 174
      Width = 48
      Height = 23
      Caption = '停止'
      Hint = '停止'
      TabOrder = 3
      SkinData = kxSkinData1
      OnClick = kxSkinButton15Click
    end
    object kxSkinButton16: TkxSkinButton
      Left = 159
      Top = 174
      Width = 50
      Height = 23
      Caption = '静音'
      Hint = '静音'
      TabOrder = 4
      SkinData = kxSkinData1
      OnClick = kxSkinButton16Click
    end
    object kxSkinButton20: TkxSkinButton
      Left = 159
      Top = 174
      Width = 50
      Height = 23
      Caption = '静音'
      Hint = '静音'
      TabOrder = 5
      SkinData = kxSkinData1
      Visible = False
      OnClick = kxSkinButton20Click
    end
    object kxSkinButton17: TkxSkinButton
      Left = 159
      Top = 199
      Width = 50
      Height = 23
      Caption = '全屏'
      Hint = '全屏'
      TabOrder = 6
      SkinData = kxSkinData1
      Visible = False
    end
    object kxSkinButton22: TkxSkinButton
      Left = 9
      Top = 199
      Width = 99
      Height = 23
      Caption = '快照'
      Hint = '快照'
      TabOrder = 7
      SkinData = kxSkinData1
      OnClick = kxSkinButton22Click
    end
    object kxSkinButton23: TkxSkinButton
      Left = 110
      Top = 199
      Width = 99
      Height = 23
      Caption = '设置'
      Hint = '设置'
      TabOrder = 8
      SkinData = kxSkinData1
      OnMouseDown = kxSkinButton23MouseDown
      OnClick = kxSkinButton23Click
    end
  end
  object Panel1: TPanel
    Left = 820
    Top = 0
    Width = 520
    Height = 420
    TabOrder = 7
    object btnAdd: TButton
      Left = 8
      Top = 8
      Width = 164
      Height = 25
      Caption = 'Open添加一个文件'
      TabOrder = 0
      OnClick = btnAddClick
    end
    object btnStart: TButton
      Left = 178
      Top = 8
      Width = 164
      Height = 25
      Caption = 'Start'
      TabOrder = 1
      Enabled = False
      OnClick = btnStartClick
    end
    object btnStop: TButton
      Left = 348
      Top = 8
      Width = 164
      Height = 25
      Caption = 'Stop'
      TabOrder = 2
      Enabled = False
      OnClick = btnStopClick
    end
    object btnPause: TButton
      Left = 8
      Top = 36
      Width = 164
      Height = 25
      Caption = 'Pause'
      TabOrder = 3
      Enabled = False
      OnClick = btnPauseClick
    end
    object btnResume: TButton
      Left = 178
      Top = 36
      Width = 164
      Height = 25
      Caption = 'Resume'
      TabOrder = 4
      Enabled = False
      OnClick = btnResumeClick
    end
    object btnRemove: TButton
      Left = 348
      Top = 36
      Width = 164
      Height = 25
      Caption = 'Remove'
      TabOrder = 5
      Enabled = False
      OnClick = btnRemoveClick
    end
    object btnClear: TButton
      Left = 8
      Top = 64
      Width = 164
      Height = 25
      Caption = 'Clear'
      TabOrder = 6
      Enabled = False
      OnClick = btnClearClick
    end
    object btnWebSite: TButton
      Left = 178
      Top = 64
      Width = 164
      Height = 25
      Caption = 'Web Site'
      TabOrder = 7
    end
    object Button1: TButton
      Left = 348
      Top = 64
      Width = 164
      Height = 25
      Caption = 'help'
      TabOrder = 8
      OnClick = Button1Click
    end
    object Button2: TButton
      Left = 8
      Top = 92
      Width = 164
      Height = 25
      Caption = '添加combox'
      TabOrder = 9
      OnClick = Button2Click
    end
    object Button3: TButton
      Left = 178
      Top = 92
      Width = 164
      Height = 25
      Caption = '读入皮肤ini'
      TabOrder = 10
      OnClick = Button3Click
    end
    object Button4: TButton
      Left = 348
      Top = 92
      Width = 164
      Height = 25
      Caption = '写入皮肤ini'
      TabOrder = 11
      OnClick = Button4Click
    end
    object Button5: TButton
      Left = 8
      Top = 120
      Width = 164
      Height = 25
      Caption = '根据combox添加数据'
      TabOrder = 12
      OnClick = Button5Click
    end
    object Button6: TButton
      Left = 178
      Top = 120
      Width = 164
      Height = 25
      Caption = '初始化数据'
      TabOrder = 13
      OnClick = Button6Click
    end
    object Button7: TButton
      Left = 348
      Top = 120
      Width = 164
      Height = 25
      Caption = '确认oo数据'
      TabOrder = 14
      OnClick = Button7Click
    end
    object Button8: TButton
      Left = 8
      Top = 148
      Width = 164
      Height = 25
      Caption = '打开多个文件'
      TabOrder = 15
      OnClick = Button8Click
    end
    object Button11: TButton
      Left = 178
      Top = 148
      Width = 164
      Height = 25
      Caption = 'onchange用'
      TabOrder = 16
      OnClick = Button11Click
    end
    object Button12: TButton
      Left = 348
      Top = 148
      Width = 164
      Height = 25
      Caption = '添加整个目录'
      TabOrder = 17
      OnClick = Button12Click
    end
    object Button13: TButton
      Left = 8
      Top = 176
      Width = 164
      Height = 25
      Caption = '确认预置选项数据'
      TabOrder = 18
      OnClick = Button13Click
    end
    object Button14: TButton
      Left = 178
      Top = 176
      Width = 164
      Height = 25
      Caption = '添加'
      TabOrder = 19
      OnClick = Button14Click
    end
    object Button15: TButton
      Left = 348
      Top = 176
      Width = 164
      Height = 25
      Caption = '初始化数值'
      TabOrder = 20
      OnClick = Button15Click
    end
    object Button16: TButton
      Left = 8
      Top = 204
      Width = 164
      Height = 25
      Caption = '写ini文件'
      TabOrder = 21
      OnClick = Button16Click
    end
    object Button17: TButton
      Left = 178
      Top = 204
      Width = 164
      Height = 25
      Caption = '读ini文件'
      TabOrder = 22
      OnClick = Button17Click
    end
    object Button18: TButton
      Left = 348
      Top = 204
      Width = 164
      Height = 25
      Caption = '根据combox添加预设选项'
      TabOrder = 23
      OnClick = Button18Click
    end
    object Button20: TButton
      Left = 8
      Top = 232
      Width = 164
      Height = 25
      Caption = '转换后打开文件夹'
      TabOrder = 24
      OnClick = Button20Click
    end
    object Button21: TButton
      Left = 178
      Top = 232
      Width = 164
      Height = 25
      Caption = 'OpenDialog1'
      TabOrder = 25
      OnClick = Button21Click
    end
    object Button22: TButton
      Left = 348
      Top = 232
      Width = 164
      Height = 25
      Caption = '工作中设置为不能'
      TabOrder = 26
      OnClick = Button22Click
    end
    object Button23: TButton
      Left = 8
      Top = 260
      Width = 164
      Height = 25
      Caption = '工作完成设置为能'
      TabOrder = 27
      OnClick = Button23Click
    end
    object Button24: TButton
      Left = 178
      Top = 260
      Width = 164
      Height = 25
      Caption = '刷新皮肤'
      TabOrder = 28
      OnClick = Button24Click
    end
    object Button25: TButton
      Left = 348
      Top = 260
      Width = 164
      Height = 25
      Caption = '关机'
      TabOrder = 29
      OnClick = Button25Click
    end
    object Button26: TButton
      Left = 8
      Top = 288
      Width = 164
      Height = 25
      Caption = 'Button26'
      TabOrder = 30
      OnClick = Button26Click
    end
    object button28: TButton
      Left = 178
      Top = 288
      Width = 164
      Height = 25
      Caption = '新添加'
      TabOrder = 31
      OnClick = button28Click
    end
    object Button29: TButton
      Left = 348
      Top = 288
      Width = 164
      Height = 25
      Caption = ' 播放提示音'
      TabOrder = 32
      OnClick = Button29Click
    end
    object Button31: TButton
      Left = 8
      Top = 316
      Width = 164
      Height = 25
      Caption = '打开播放视频'
      TabOrder = 33
      OnClick = Button31Click
    end
    object Image2: TImage
      Left = 8
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image3: TImage
      Left = 44
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image4: TImage
      Left = 80
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image5: TImage
      Left = 116
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image6: TImage
      Left = 152
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image7: TImage
      Left = 188
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image8: TImage
      Left = 224
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image9: TImage
      Left = 260
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image10: TImage
      Left = 296
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image11: TImage
      Left = 332
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image12: TImage
      Left = 368
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image13: TImage
      Left = 404
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image14: TImage
      Left = 440
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image15: TImage
      Left = 476
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image16: TImage
      Left = 512
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object Image17: TImage
      Left = 548
      Top = 348
      Width = 32
      Height = 32
      Transparent = True
    end
    object chkThreadMode: TCheckBox
      Left = 8
      Top = 388
      Width = 150
      Height = 17
      Caption = 'chkThreadMode'
      Checked = True
      TabOrder = 34
    end
    object ListBox1: TListBox
      Left = 170
      Top = 388
      Width = 160
      Height = 60
      TabOrder = 35
    end
    object ProgressBar1: TProgressBar
      Left = 340
      Top = 388
      Width = 170
      Height = 17
      TabOrder = 36
    end
  end
  object Panel3: TPanel
    Left = 1350
    Top = 0
    Width = 200
    Height = 160
    TabOrder = 8
    object Button34: TButton
      Left = 8
      Top = 8
      Width = 100
      Height = 25
      Caption = 'Button34'
      TabOrder = 0
    end
    object Button40: TButton
      Left = 8
      Top = 36
      Width = 100
      Height = 25
      Caption = 'Button40'
      TabOrder = 1
    end
    object Button9: TButton
      Left = 8
      Top = 64
      Width = 100
      Height = 25
      Caption = 'Button9'
      TabOrder = 2
    end
    object Button10: TButton
      Left = 8
      Top = 92
      Width = 100
      Height = 25
      Caption = 'Button10'
      TabOrder = 3
    end
    object Edit3: TEdit
      Left = 8
      Top = 124
      Width = 180
      Height = 21
      TabOrder = 4
      Text = 'Edit3'
    end
  end
  object Panel4: TPanel
    Left = 1350
    Top = 170
    Width = 200
    Height = 60
    TabOrder = 9
  end
  object Panel5: TPanel
    Left = 1560
    Top = 0
    Width = 420
    Height = 520
    TabOrder = 10
    object cboVideoDriver: TComboBox
      Items.Strings = (
        'Default'
        'DDraw'
        'GDI')
      Left = 8
      Top = 8
      Width = 120
      Height = 21
      Style = csDropDownList
      TabOrder = 0
      ItemIndex = 0
    end
    object cboAudioDriver: TComboBox
      Items.Strings = (
        'Default'
        'DSound'
        'waveOut')
      Left = 136
      Top = 8
      Width = 120
      Height = 21
      Style = csDropDownList
      TabOrder = 1
      ItemIndex = 0
    end
    object cboScreens: TComboBox
      Left = 264
      Top = 8
      Width = 120
      Height = 21
      Style = csDropDownList
      TabOrder = 2
    end
    object chkOpenPaused: TCheckBox
      Left = 8
      Top = 36
      Width = 120
      Height = 17
      Caption = 'Open Paused'
      TabOrder = 3
      Checked = True
    end
    object chkStayOnTop: TCheckBox
      Left = 136
      Top = 36
      Width = 120
      Height = 17
      Caption = 'Stay On Top'
      TabOrder = 4
    end
    object TrackBar2: TTrackBar
      Left = 8
      Top = 60
      Width = 200
      Height = 30
      Max = 128
      Position = 128
      TabOrder = 5
      OnChange = TrackBar2Change
    end
    object Label2: TLabel
      Left = 220
      Top = 66
      Width = 60
      Height = 13
      Caption = 'N/A'
    end
    object Label3: TLabel
      Left = 300
      Top = 66
      Width = 60
      Height = 13
      Caption = 'N/A'
    end
    object cboVideo: TComboBox
      Left = 8
      Top = 96
      Width = 120
      Height = 21
      Style = csDropDownList
      TabOrder = 6
      Enabled = False
    end
    object cboAudio: TComboBox
      Left = 136
      Top = 96
      Width = 120
      Height = 21
      Style = csDropDownList
      TabOrder = 7
      Enabled = False
    end
    object cboSubtitle: TComboBox
      Left = 264
      Top = 96
      Width = 120
      Height = 21
      Style = csDropDownList
      TabOrder = 8
      Enabled = False
    end
    object mmoLog: TMemo
      Left = 8
      Top = 124
      Width = 400
      Height = 200
      ScrollBars = ssBoth
      TabOrder = 9
    end
    object TrackBar1: TTrackBar
      Left = 8
      Top = 330
      Width = 200
      Height = 30
      TabOrder = 10
      OnChange = TrackBar1Change
    end
    object chkMute: TCheckBox
      Left = 8
      Top = 366
      Width = 120
      Height = 17
      Caption = 'Mute'
      TabOrder = 11
    end
    object chkHook: TCheckBox
      Left = 136
      Top = 366
      Width = 120
      Height = 17
      Caption = 'Hook'
      TabOrder = 12
    end
    object chkWaterMark: TCheckBox
      Left = 264
      Top = 366
      Width = 120
      Height = 17
      Caption = 'Water Mark'
      TabOrder = 13
    end
    object chkDisableDisplay: TCheckBox
      Left = 8
      Top = 390
      Width = 120
      Height = 17
      Caption = 'Disable Display'
      TabOrder = 14
    end
    object chkDisableAudio: TCheckBox
      Left = 136
      Top = 390
      Width = 120
      Height = 17
      Caption = 'Disable Audio'
      TabOrder = 15
    end
    object chkDisableVideo: TCheckBox
      Left = 264
      Top = 390
      Width = 120
      Height = 17
      Caption = 'Disable Video'
      TabOrder = 16
    end
    object cboAspectRatio: TComboBox
      Items.Strings = (
        'keeping original (0)'
        'scaling to fit (-1)'
        '4:3'
        '16:9'
        '1.85:1'
        '2.35:1')
      Left = 8
      Top = 414
      Width = 120
      Height = 21
      Style = csDropDownList
      TabOrder = 17
    end
    object btnCapture: TButton
      Left = 136
      Top = 414
      Width = 100
      Height = 25
      Caption = 'Capture'
      TabOrder = 18
      OnClick = btnCaptureClick
    end
    object chkPreview: TCheckBox
      Left = 264
      Top = 418
      Width = 120
      Height = 17
      Caption = 'Preview'
      TabOrder = 19
      OnClick = chkPreviewClick
    end
  end
  object Button19: TButton
    Left = 1350
    Top = 240
    Width = 100
    Height = 25
    Caption = 'Button19'
    TabOrder = 11
    Visible = False
    OnClick = Button19Click
  end
  object Button27: TButton
    Left = 1350
    Top = 270
    Width = 100
    Height = 25
    Caption = 'Button27'
    TabOrder = 12
    OnClick = Button27Click
  end
  object edt: TEdit
    Left = 1350
    Top = 300
    Width = 120
    Height = 21
    TabOrder = 13
    Visible = False
    OnExit = edtExit
  end
  object kxSkinPopupMenu1: TkxSkinPopupMenu
    SkinData = kxSkinData1
    object N11111: TMenuItem
      Caption = '添加一个文件'
      OnClick = btnAddClick
    end
    object N2222: TMenuItem
      Caption = '添加多个文件'
      OnClick = N2222Click
    end
    object N3331: TMenuItem
      Caption = '添加整个目录'
      OnClick = N3331Click
    end
  end
  object kxSkinPopupMenu2: TkxSkinPopupMenu
    SkinData = kxSkinData1
    object MenuItem1: TMenuItem
      Caption = '打开快照目录'
      OnClick = MenuItem1Click
    end
    object MenuItem2: TMenuItem
      Caption = '设置快照目录'
      OnClick = MenuItem2Click
    end
    object MenuItem3: TMenuItem
      Caption = '-'
    end
    object N27: TMenuItem
      Caption = '快照保存类型'
      object BMP1: TMenuItem
        Caption = 'BMP文件'
        Checked = True
        RadioItem = True
        GroupIndex = 1
        OnClick = BMP1Click
      end
      object JPG1: TMenuItem
        Caption = 'JPG文件'
        RadioItem = True
        GroupIndex = 1
        OnClick = JPG1Click
      end
      object GIF1: TMenuItem
        Caption = 'GIF文件'
        RadioItem = True
        GroupIndex = 1
        OnClick = GIF1Click
      end
      object PNG1: TMenuItem
        Caption = 'PNG文件'
        RadioItem = True
        GroupIndex = 1
        OnClick = PNG1Click
      end
    end
  end
  object kxSkinMessage1: TkxSkinMessage
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
  end
  object kxSkinSelectDirectoryDialog1: TkxSkinSelectDirectoryDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
    Title = '选择目录'
  end
  object kxSkinSelectDirectoryDialog2: TkxSkinSelectDirectoryDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
    Title = '选择输出目录'
  end
  object OpenDialog1: TkxSkinOpenDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
    Title = '打开文件'
  end
  object OpenDialog2: TkxSkinOpenDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
    Title = '打开文件'
    MultiSelection = True
  end
  object kxSkinOpenDialog1: TkxSkinOpenDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
    Title = '打开文件'
  end
  object kxSkinSavePictureDialog1: TkxSkinSavePictureDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
    Title = 'Save file'
    Filter = 'BMP文件 (*.bmp)|*.bmp|JPEG文件 (*jpg)|*.jpg'
  end
  object SavePictureDialog1: TkxSkinSavePictureDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
  end
  object kxSelectSkinDialog1: TkxSelectSkinDialog
    SkinData = kxSkinData1
    CtrlSkinData = kxSkinData1
    SkinList = kxCompressedSkinList1
    Title = '选择皮肤'
  end
  object kxTrayIcon1: TkxTrayIcon
    Enabled = False
    Hint = 'OmbrelWMV视频格式转换器'
  end
  object kxSkinHint1: TkxSkinHint
    SkinData = kxSkinData1
    Active = True
  end
  object Quill: TQuillon
    OnProgress = QuillProgress
    OnTerminate = QuillTerminate
  end
  object FFLogger: TFFLogger
    OnLog = FFLoggerLog
  end
  object FFPlayer: TFFPlayer
    OnFileOpen = FFPlayerFileOpen
    OnPosition = FFPlayerPosition
    OnState = FFPlayerState
    OnHook = FFPlayerHook
  end
  object ImageList1: TImageList
    Width = 32
    Height = 32
  end
  object ImageList2: TImageList
    Width = 32
    Height = 32
  end
end
