<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko_KR">
<context>
    <name>App</name>
    <message>
        <source>다른 뷰어가 실행 중이라 녹화할 수 없습니다: %1</source>
        <translation>another viewer is running; cannot record %1</translation>
    </message>
    <message>
        <source>%1 파일을 쓰지 못했습니다: %2</source>
        <translation>could not write %1: %2</translation>
    </message>
    <message>
        <source>신호 %1: 끝내는 중</source>
        <translation>signal %1: stopping</translation>
    </message>
    <message>
        <source>동영상을 제시간에 마치지 못했습니다. 파일은 다음 시작 때 동영상으로 만들도록 남겨 둡니다</source>
        <translation>the movie was not finished in time; its files are kept for the next start</translation>
    </message>
</context>
<context>
    <name>Camera</name>
    <message>
        <source>카메라가 없습니다.        
카메라의 연결상태나 전원을 확인하시기 바랍니다.  </source>
        <translation>No camera found.
Please check that the camera is connected and switched on.</translation>
    </message>
    <message>
        <source>카메라 오류: </source>
        <translation>Camera error: </translation>
    </message>
    <message>
        <source>카메라에서 영상이 오지 않습니다.</source>
        <translation>The camera stopped sending pictures.</translation>
    </message>
    <message>
        <source>카메라가 영상을 보내지 않습니다.</source>
        <translation>The camera does not send pictures.</translation>
    </message>
</context>
<context>
    <name>CameraControl</name>
    <message>
        <source>밝기</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>대비</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>채도</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>색조</source>
        <translation>Hue</translation>
    </message>
    <message>
        <source>자동 색조</source>
        <translation>Automatic hue</translation>
    </message>
    <message>
        <source>선명도</source>
        <translation>Sharpness</translation>
    </message>
    <message>
        <source>감마</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>화이트 밸런스 (온도)</source>
        <translation>White balance (temperature)</translation>
    </message>
    <message>
        <source>자동 화이트 밸런스</source>
        <translation>Automatic white balance</translation>
    </message>
    <message>
        <source>빨강 균형</source>
        <translation>Red balance</translation>
    </message>
    <message>
        <source>파랑 균형</source>
        <translation>Blue balance</translation>
    </message>
    <message>
        <source>노출</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>자동 노출</source>
        <translation>Automatic exposure</translation>
    </message>
    <message>
        <source>노출 우선</source>
        <translation>Exposure priority</translation>
    </message>
    <message>
        <source>자동 게인</source>
        <translation>Automatic gain</translation>
    </message>
    <message>
        <source>게인</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>초점</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>자동 초점</source>
        <translation>Automatic focus</translation>
    </message>
    <message>
        <source>역광 보정</source>
        <translation>Backlight compensation</translation>
    </message>
    <message>
        <source>전원 주파수</source>
        <translation>Power line frequency</translation>
    </message>
    <message>
        <source>확대/축소</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>이동</source>
        <translation>Pan</translation>
    </message>
    <message>
        <source>기울기</source>
        <translation>Tilt</translation>
    </message>
    <message>
        <source>화면 가림</source>
        <translation>Privacy shutter</translation>
    </message>
    <message>
        <source>좌우 뒤집기</source>
        <translation>Mirror left to right</translation>
    </message>
    <message>
        <source>상하 뒤집기</source>
        <translation>Flip upside down</translation>
    </message>
    <message>
        <source>사용 안 함</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>자동</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>수동</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>셔터 우선</source>
        <translation>Shutter priority</translation>
    </message>
    <message>
        <source>조리개 우선</source>
        <translation>Aperture priority</translation>
    </message>
</context>
<context>
    <name>Command</name>
    <message>
        <source>화면이 180도 전환 됩니다.</source>
        <translation>Turns the picture by 180 degrees.</translation>
    </message>
    <message>
        <source>메뉴숨기기</source>
        <translation>Hide menu</translation>
    </message>
    <message>
        <source>메뉴보이기</source>
        <translation>Show menu</translation>
    </message>
    <message>
        <source>줌취소</source>
        <translation>Cancel zoom</translation>
    </message>
    <message>
        <source>이동취소</source>
        <translation>Cancel pan</translation>
    </message>
    <message>
        <source>글씨쓰기</source>
        <translation>Write text</translation>
    </message>
    <message>
        <source>그리기</source>
        <translation>Draw</translation>
    </message>
    <message>
        <source>지우개</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>실행 취소</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>다시 실행</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>화면 정지</source>
        <translation>Freeze picture</translation>
    </message>
    <message>
        <source>정지 해제</source>
        <translation>Unfreeze picture</translation>
    </message>
    <message>
        <source>옵션...</source>
        <translation>Options...</translation>
    </message>
    <message>
        <source>화면이 우측 90도씩 회전합니다.</source>
        <translation>Turns the picture 90 degrees to the right.</translation>
    </message>
    <message>
        <source>화면 90도 회전</source>
        <translation>Turn the picture 90 degrees</translation>
    </message>
    <message>
        <source>마우스 스크롤을 돌리면 확대가 됩니다.</source>
        <translation>Turn the mouse wheel to zoom in.</translation>
    </message>
    <message>
        <source>프로그램 시작시의 화면으로 되돌립니다.</source>
        <translation>Returns to the picture as it was at start-up.</translation>
    </message>
    <message>
        <source>처음 화면으로 되돌리기</source>
        <translation>Back to the start-up picture</translation>
    </message>
    <message>
        <source>현재의 화면을 바탕화면에 저장합니다. 글씨 및 그림도 함께 저장됩니다.</source>
        <translation>Saves the current picture to the desktop, with its text and drawings.</translation>
    </message>
    <message>
        <source>화면을 사진으로 저장</source>
        <translation>Save the picture</translation>
    </message>
    <message>
        <source>확대</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>축소</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>글씨 창 닫기, 그리기 멈추기, 끝내기</source>
        <translation>Close the text window, stop drawing, quit</translation>
    </message>
    <message>
        <source>전체화면 켜기/끄기</source>
        <translation>Full screen on/off</translation>
    </message>
    <message>
        <source>메뉴 숨기기/보이기</source>
        <translation>Hide/show the menu</translation>
    </message>
    <message>
        <source>카메라 설정</source>
        <translation>Camera settings</translation>
    </message>
    <message>
        <source>프로그램 정보</source>
        <translation>About the program</translation>
    </message>
    <message>
        <source>비교할 화면 보관</source>
        <translation>Keep picture to compare</translation>
    </message>
    <message>
        <source>비교 끝내기</source>
        <translation>End compare</translation>
    </message>
    <message>
        <source>스포트라이트</source>
        <translation>Spotlight</translation>
    </message>
    <message>
        <source>스포트라이트 끄기</source>
        <translation>Spotlight off</translation>
    </message>
    <message>
        <source>가림막</source>
        <translation>Curtain</translation>
    </message>
    <message>
        <source>가림막 걷기</source>
        <translation>Curtain off</translation>
    </message>
    <message>
        <source>화면 가리기</source>
        <translation>Blank screen</translation>
    </message>
    <message>
        <source>화면 다시 보이기</source>
        <translation>Show screen again</translation>
    </message>
    <message>
        <source>비교: 다음 화면, 그 밖에는 화면 정지</source>
        <translation>Compare: next pane; otherwise freeze</translation>
    </message>
    <message>
        <source>비교: 이전 화면, 그 밖에는 정지 해제</source>
        <translation>Compare: previous pane; otherwise unfreeze</translation>
    </message>
    <message>
        <source>전체 화면</source>
        <translation>Full screen</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--auto-capture 뒤에 초 단위 시간이 필요합니다</source>
        <translation>--auto-capture needs a time in seconds</translation>
    </message>
    <message>
        <source>--auto-record 뒤에 초 단위 시간과 동영상 파일 이름이 필요합니다</source>
        <translation>--auto-record needs a time in seconds and a movie file name</translation>
    </message>
    <message>
        <source>--auto-record 파일 이름은 .avi 또는 .mp4로 끝나야 합니다: %1</source>
        <translation>The --auto-record file name must end in .avi or .mp4: %1</translation>
    </message>
    <message>
        <source>알 수 없는 옵션입니다: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>%1 값이 올바르지 않습니다: &quot;%2&quot; (%3 이상 %4 이하의 정수 초)</source>
        <translation>Invalid value for %1: &quot;%2&quot; (a whole number of seconds from %3 to %4)</translation>
    </message>
    <message>
        <source>--time-lapse는 --auto-record와 함께 써야 합니다</source>
        <translation>--time-lapse needs --auto-record</translation>
    </message>
    <message>
        <source>사용법: vistrela [옵션] [파일이름]
  파일이름              다음에 찍는 사진을 이 이름으로 저장하고 끝냅니다
  --auto-capture 초     지정한 초가 지나면 사진을 한 장 찍습니다
  --auto-record 초 파일 첫 화면부터 지정한 초 동안 녹화해 파일(.avi, .mp4)로 저장하고
                        끝냅니다. 같은 이름의 파일이 있으면 &quot; (2)&quot;를 붙입니다.
                        동영상을 다 만들면 0, 만들지 못했거나 일부만 만들었으면
                        1로 끝납니다(15초 안에 화면이 오지 않을 때도)
  --overwrite           --auto-record가 같은 이름의 파일을 바꿔 씁니다
  --time-lapse 초       --auto-record를 저속 촬영으로 합니다: 지정한 초(1~60)마다
                        한 장씩 찍어 초당 30장으로 재생되는 소리 없는 동영상을
                        만듭니다
  --help                이 도움말을 보여줍니다
  --version             판 번호를 보여줍니다
</source>
        <translation>Usage: vistrela [options] [file name]
  FILE NAME               saves the next picture taken under this name, then quits
  --auto-capture SECONDS  takes one picture after SECONDS
  --auto-record SECONDS FILE
                          records from the first picture for SECONDS into FILE (.avi, .mp4),
                          then quits. An existing file of that name gets &quot; (2)&quot; added.
                          Exits with 0 when the whole movie was made, 1 when it was not or
                          only in part (also when no picture came within 15 seconds)
  --overwrite             --auto-record replaces a file of the same name
  --time-lapse SECONDS    makes --auto-record a time-lapse: one picture every SECONDS (1-60)
                          into a silent movie played at 30 pictures a second
  --help                  shows this help
  --version               shows the version
</translation>
    </message>
</context>
<context>
    <name>InkCommand</name>
    <message>
        <source>초록</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>검정</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>빨강</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>파랑</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>하양</source>
        <translation>White</translation>
    </message>
    <message>
        <source>노랑</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>굵기</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>펜</source>
        <translation>Pen</translation>
    </message>
    <message>
        <source>형광펜</source>
        <translation>Highlighter</translation>
    </message>
    <message>
        <source>레이저 펜</source>
        <translation>Laser pointer</translation>
    </message>
    <message>
        <source>지우개</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>화살표</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <source>사각형</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>타원</source>
        <translation>Ellipse</translation>
    </message>
    <message>
        <source>잉크</source>
        <translation>Ink</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>카메라</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>모니터 %1 전체화면</source>
        <translation>Full screen on monitor %1</translation>
    </message>
</context>
<context>
    <name>Picture</name>
    <message>
        <source>[마우스 스크롤을 돌리면 확대가 됩니다.]</source>
        <translation>[Turn the mouse wheel to zoom in.]</translation>
    </message>
    <message>
        <source>[확대된 상태에서 마우스 우측버튼 드래그 하시면 화면이 이동됩니다.]</source>
        <translation>[When zoomed in, drag with the right mouse button to move the picture.]</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>동영상 파일을 만들지 못했습니다.</source>
        <translation>The movie file could not be made.</translation>
    </message>
    <message>
        <source>카메라를 기다리는 중</source>
        <translation>Waiting for the camera</translation>
    </message>
    <message>
        <source>마이크를 찾지 못해 소리 없이 녹화합니다.</source>
        <translation>No microphone was found: recording without sound.</translation>
    </message>
    <message>
        <source>소리를 녹음하지 못해 소리 없이 녹화합니다.</source>
        <translation>The sound could not be recorded: recording without sound.</translation>
    </message>
</context>
<context>
    <name>Still</name>
    <message>
        <source>%1에 저장합니다</source>
        <translation>Saving to %1</translation>
    </message>
    <message>
        <source>바탕화면에 저장합니다</source>
        <translation>Saving to the desktop</translation>
    </message>
    <message>
        <source>저장하지 못했습니다</source>
        <translation>Could not save</translation>
    </message>
    <message>
        <source>파일을 쓰지 못했습니다: %1</source>
        <translation>could not write %1</translation>
    </message>
</context>
<context>
    <name>Title</name>
    <message>
        <source>녹화중..</source>
        <translation>Recording..</translation>
    </message>
    <message>
        <source>[정지]</source>
        <translation>[Frozen]</translation>
    </message>
    <message>
        <source>[저속 촬영 %1초마다: %2장, 동영상 %3]</source>
        <translation>[time-lapse every %1 s: %2 pictures, movie %3]</translation>
    </message>
</context>
<context>
    <name>vistrela::CAboutDlg</name>
    <message>
        <source>키</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>기능</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>Vistrela Viewer 정보</source>
        <translation>About Vistrela Viewer</translation>
    </message>
    <message>
        <source>MIT (Expat) 라이선스. Qt, GStreamer, FFmpeg는 각자의 라이선스를 따릅니다.</source>
        <translation>MIT (Expat) licence. Qt, GStreamer and FFmpeg come under their own licences.</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>vistrela::CTextEditDlg</name>
    <message>
        <source>[이부분 드래그 이동] </source>
        <translation>[Drag here to move] </translation>
    </message>
    <message>
        <source>적용</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>vistrela::CameraSettingsDialog</name>
    <message>
        <source>카메라 설정</source>
        <translation>Camera settings</translation>
    </message>
    <message>
        <source>카메라 설정 - %1</source>
        <translation>Camera settings - %1</translation>
    </message>
    <message>
        <source>기본값으로</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>vistrela::CvistDlg</name>
    <message>
        <source>%1 저장후종료 %2</source>
        <translation>%1 save and quit %2</translation>
    </message>
    <message>
        <source>카메라를 열 수 없습니다</source>
        <translation>Cannot open the camera</translation>
    </message>
    <message>
        <source>카메라가 없습니다</source>
        <translation>No camera found</translation>
    </message>
    <message>
        <source>카메라 연결이 끊어졌습니다</source>
        <translation>The camera was disconnected</translation>
    </message>
    <message>
        <source>저장후종료 %1</source>
        <translation>Save and quit %1</translation>
    </message>
    <message>
        <source>웹 페이지를 열 수 없습니다</source>
        <translation>Cannot open the web page</translation>
    </message>
    <message>
        <source>카메라가 시작되지 않았습니다: %1</source>
        <translation>camera did not start: %1</translation>
    </message>
    <message>
        <source>카메라가 멈췄습니다: %1</source>
        <translation>camera stopped: %1</translation>
    </message>
    <message>
        <source>첫 화면이 오기 전에 닫혀 녹화하지 않았습니다</source>
        <translation>closed before the first picture; nothing recorded</translation>
    </message>
    <message>
        <source>동영상을 저장했습니다: %1</source>
        <translation>movie saved: %1</translation>
    </message>
    <message>
        <source>녹화가 중간에 끊겼습니다. 동영상을 저장했습니다: %1</source>
        <translation>the recording was cut short; movie saved: %1</translation>
    </message>
    <message>
        <source>%1초 안에 카메라에서 화면이 오지 않아 녹화하지 않았습니다</source>
        <translation>no picture from the camera in %1 s; nothing recorded</translation>
    </message>
    <message>
        <source>녹화를 시작하지 못했습니다: %1</source>
        <translation>could not start recording %1</translation>
    </message>
</context>
<context>
    <name>vistrela::LeftoverRecovery</name>
    <message>
        <source>중단된 녹화 %1개를 동영상으로 저장하는 중</source>
        <translation>Saving %1 interrupted recording(s) as movies</translation>
    </message>
    <message>
        <source>중단된 녹화를 동영상으로 저장했습니다</source>
        <translation>An interrupted recording was saved as a movie</translation>
    </message>
    <message>
        <source>중단된 녹화를 동영상으로 만들 수 없어 옮겨 두었습니다: %1</source>
        <translation>An interrupted recording could not be made into a movie and was moved to: %1</translation>
    </message>
    <message>
        <source>중단된 녹화를 동영상으로 만들지 못했습니다</source>
        <translation>An interrupted recording could not be made into a movie</translation>
    </message>
</context>
<context>
    <name>vistrela::MovieJoin</name>
    <message>
        <source>동영상을 만들지 못했습니다: %1
녹화한 파일은 지우지 않고 남겨 두었습니다: %2</source>
        <translation>The movie could not be made: %1
The recorded files were kept: %2</translation>
    </message>
</context>
<context>
    <name>vistrela::Option</name>
    <message>
        <source>저장될 폴더를 선택하세요</source>
        <translation>Choose the folder to save to</translation>
    </message>
    <message>
        <source>선택된 카메라에 대한 장치정보가 없습니다.</source>
        <translation>There is no device information for the chosen camera.</translation>
    </message>
    <message>
        <source>정수를 입력하십시오.</source>
        <translation>Please enter a whole number.</translation>
    </message>
    <message>
        <source>설정을 기억하지 못했습니다. 다음 파일에 쓸 수 없습니다:</source>
        <translation>The settings could not be remembered. This file cannot be written:</translation>
    </message>
    <message>
        <source>1에서 99 사이의 정수를 입력하십시오.</source>
        <translation>Please enter a whole number from 1 to 99.</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>카메라 선택</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>해상도 모드</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>잘라낼 크기 (Crop)</source>
        <translation>Crop size</translation>
    </message>
    <message>
        <source>폭(Width)</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>높이(Height)</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>JPG 저장옵션</source>
        <translation>JPG options</translation>
    </message>
    <message>
        <source>JPG품질 (최대: 99)</source>
        <translation>JPG quality (max. 99)</translation>
    </message>
    <message>
        <source>저장경로</source>
        <translation>Save to</translation>
    </message>
    <message>
        <source>찾아보기..</source>
        <translation>Browse..</translation>
    </message>
    <message>
        <source>파일명</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>파일명 지정</source>
        <translation>Fixed name</translation>
    </message>
    <message>
        <source>현재시간으로 저장</source>
        <translation>Current time</translation>
    </message>
    <message>
        <source>예: 20010305_110145.jpg</source>
        <translation>e.g. 20010305_110145.jpg</translation>
    </message>
    <message>
        <source>저장할 때 직접입력</source>
        <translation>Ask when saving</translation>
    </message>
    <message>
        <source>기타</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>캡처후 화면 숨기기</source>
        <translation>Hide after capture</translation>
    </message>
    <message>
        <source>설정 기억하기(&amp;M)</source>
        <translation>Re&amp;member settings</translation>
    </message>
    <message>
        <source>언어 / Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>자동</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>다음에 프로그램을 시작할 때 적용됩니다. 설정 기억하기가 켜져 있을 때만 유지됩니다.</source>
        <translation>Takes effect at the next start of the program. Kept only while &quot;Remember settings&quot; is on.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vistrela::RecordModeMenu</name>
    <message>
        <source>보통 녹화</source>
        <translation>Normal recording</translation>
    </message>
    <message>
        <source>저속 촬영 녹화: %1초마다 한 장</source>
        <translation>Time-lapse: one picture every %1 s</translation>
    </message>
</context>
<context>
    <name>vistrela::RecordingControl</name>
    <message>
        <source>이 폴더에는 동영상을 저장할 수 없습니다: %1</source>
        <translation>Movies cannot be saved in this folder: %1</translation>
    </message>
    <message>
        <source>동영상 저장</source>
        <translation>Save movie</translation>
    </message>
    <message>
        <source>녹화용 임시 파일을 만들 수 없습니다: %1</source>
        <translation>Cannot make the temporary recording file: %1</translation>
    </message>
    <message>
        <source>동영상 파일을 만들지 못해 녹화를 멈췄습니다.</source>
        <translation>The movie file could not be made: recording stopped.</translation>
    </message>
    <message>
        <source>녹화 파일을 쓰지 못해 녹화를 멈췄습니다 (디스크가 가득 찼을 수 있습니다). 그때까지 녹화한 부분은 동영상으로 저장합니다.</source>
        <translation>The recording could not be written and was stopped (the disk may be full). What was recorded until then is saved as a movie.</translation>
    </message>
    <message>
        <source>동영상 처리중. 잠시 기다려 주세요</source>
        <translation>Processing the movie. Please wait</translation>
    </message>
    <message>
        <source>Vistrela 동영상 처리중</source>
        <translation>Vistrela processing the movie</translation>
    </message>
    <message>
        <source>녹화한 내용이 없어 동영상을 만들지 않았습니다: %1</source>
        <translation>Nothing was recorded, so no movie was made: %1</translation>
    </message>
</context>
</TS>
