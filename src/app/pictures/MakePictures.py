"""Draws the launcher's two illustrations as PPM files in the current folder.

The committed JPEG files were made from them with ImageMagick:
    python3 MakePictures.py
    convert footprint.ppm -quality 92 -strip footprint.jpg
    convert roomeq.ppm -quality 92 -strip roomeq.jpg
The build embeds the JPEG files; this script is not part of it.
"""
import math
def ramp(v):
    v=max(0.0,min(1.0,v))
    stops=[(0,0,0),(0,0,255),(0,255,255),(0,255,0),(255,255,0),(255,0,0)]
    x=v*5; i=min(int(x),4); f=x-i
    a,b=stops[i],stops[i+1]
    return tuple(int(a[k]+(b[k]-a[k])*f) for k in range(3))
def save(name,w,h,px):
    with open(name,'wb') as f:
        f.write(b'P6 %d %d 255\n'%(w,h))
        for y in range(h):
            for x in range(w):
                f.write(bytes(px[y][x]))
# Picture 1: floor plan with a pressure map, two speakers and a listener.
W,H=161,114
px=[[(236,233,216)]*W for _ in range(H)]
x0,y0,x1,y1=8,8,152,105
for y in range(y0,y1+1):
    for x in range(x0,x1+1):
        u=(x-x0)/(x1-x0); v=(y-y0)/(y1-y0)
        p=0.6*abs(math.cos(2*math.pi*u))*abs(math.cos(math.pi*v))+0.4*abs(math.cos(math.pi*u)*math.cos(2*math.pi*v))
        px[y][x]=ramp(p)
for x in range(x0-2,x1+3):
    for t in range(3):
        px[y0-1-t+1][x]=(40,40,40); px[y1+t][x]=(40,40,40)
for y in range(y0-2,y1+3):
    for t in range(3):
        px[y][x0-1-t+1]=(40,40,40); px[y][x1+t]=(40,40,40)
def box(cx,cy,hw,hh,col,edge=(0,0,0)):
    for y in range(cy-hh,cy+hh+1):
        for x in range(cx-hw,cx+hw+1):
            px[y][x]=edge if (abs(y-cy)==hh or abs(x-cx)==hw) else col
def ellipse(cx,cy,rx,ry,col,edge=(0,0,0)):
    for y in range(cy-ry-1,cy+ry+2):
        for x in range(cx-rx-1,cx+rx+2):
            d=((x-cx)/rx)**2+((y-cy)/ry)**2
            if d<=1.0: px[y][x]=col if d<0.7 else edge
# speakers near the front wall (left of the plan), listener at the apex
box(36,36,6,8,(255,255,255)); box(36,78,6,8,(230,30,30))
ellipse(92,57,8,9,(40,70,230))
save('footprint.ppm',W,H,px)
# Picture 2: a row of level bars like a graphic equaliser.
W,H=161,87
px=[[(24,28,40)]*W for _ in range(H)]
for x in range(6,155):
    px[70][x]=(180,180,190)
for y in range(10,71,10):
    for x in range(6,155,3):
        px[y][x]=(70,75,95)
levels=[0.55,0.8,0.35,0.95,0.6,0.25,0.7,0.45,0.85,0.3,0.65,0.5]
bw=9; gap=3; start=8
for i,l in enumerate(levels):
    top=int(70-l*58)
    for y in range(top,70):
        frac=(70-y)/58
        col=(40,200,60) if frac<0.55 else ((230,210,40) if frac<0.8 else (230,50,40))
        for x in range(start+i*(bw+gap),start+i*(bw+gap)+bw):
            px[y][x]=col
    for x in range(start+i*(bw+gap),start+i*(bw+gap)+bw):
        px[76][x]=(150,150,165) if i%2==0 else (24,28,40)
save('roomeq.ppm',W,H,px)
